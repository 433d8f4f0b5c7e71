// The 3-D view: fixed-function OpenGL on a wxGLCanvas. The GL state (light,
// culling, depth test) is set whenever the size changes, the projection and
// camera on every paint; the scene is drawn with a GLU quadric and
// freeglut's shapes, each with its own small axes.
#include "measure_market/opengl_view.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glu.h>
#include <cstdlib>
#include <vector>

namespace {

// freeglut's shapes need the library started once; it opens its own
// connection to the display named in DISPLAY.
bool StartGlut() {
    static const bool started = [] {
        const char* display = std::getenv("DISPLAY");
        if (!display || !*display) return false;
        int argc = 1;
        char name[] = "Fittora";
        char* argv[] = {name, nullptr};
        glutInit(&argc, argv);
        return true;
    }();
    return started;
}

wxGLAttributes CanvasAttributes() {
    // 32-bit colour, double buffered, a deep depth buffer and a stencil; the
    // depth falls back to what the display offers.
    for (int depth : {32, 24, 16}) {
        wxGLAttributes a;
        a.PlatformDefaults().RGBA().DoubleBuffer().MinRGBA(8, 8, 8, 0).Depth(depth).Stencil(8).EndList();
        if (wxGLCanvas::IsDisplaySupported(a)) return a;
    }
    wxGLAttributes a;
    a.PlatformDefaults().RGBA().DoubleBuffer().Depth(16).EndList();
    return a;
}

constexpr unsigned kName[] = {0, 1, 2, 3, 4, 5, 6, 7};

}  // namespace

float ViewAspect(int cx, int cy) { return cy == 0 ? static_cast<float>(cx) : static_cast<float>(cx) / static_cast<float>(cy); }

void CGLMatrix::MultiplyCurrent() const { glMultMatrixf(m.data()); }

void CGLAxes::Draw() const {
    const GLboolean lit = glIsEnabled(GL_LIGHTING);
    glDisable(GL_LIGHTING);
    glBegin(GL_LINES);
    glColor3f(1, 0, 0);
    glVertex3f(0, 0, 0);
    glVertex3f(x, 0, 0);
    glColor3f(0, 1, 0);
    glVertex3f(0, 0, 0);
    glVertex3f(0, y, 0);
    glColor3f(0, 0, 1);
    glVertex3f(0, 0, 0);
    glVertex3f(0, 0, z);
    glEnd();
    if (lit) glEnable(GL_LIGHTING);
}

CCOpenGLCView::CCOpenGLCView(wxWindow* parent)
    : wxGLCanvas(parent, CanvasAttributes(), wxID_ANY, wxDefaultPosition, wxDefaultSize, wxCLIP_CHILDREN | wxCLIP_SIBLINGS | wxFULL_REPAINT_ON_RESIZE) {
    m_quadric = gluNewQuadric();
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    m_context = new wxGLContext(this);
    if (!m_context->IsOK()) {
        delete m_context;
        m_context = nullptr;
    }
    // The timer's ticks cause no redraw.
    if (m_context) m_timer.Start(100);
    Bind(wxEVT_PAINT, &CCOpenGLCView::OnPaint, this);
    Bind(wxEVT_SIZE, &CCOpenGLCView::OnSize, this);
}

CCOpenGLCView::~CCOpenGLCView() {
    m_timer.Stop();
    if (m_quadric) gluDeleteQuadric(m_quadric);
    delete m_context;
}

bool CCOpenGLCView::MakeCurrent() { return m_context && IsShownOnScreen() && SetCurrent(*m_context); }

void CCOpenGLCView::OnSize(wxSizeEvent& event) {
    m_stateSize = wxSize();  // set the state again at the next paint
    Refresh(false);
    event.Skip();
}

void CCOpenGLCView::SetupState(int cx, int cy) {
    m_aspect = ViewAspect(cx, cy);
    glViewport(0, 0, cx, cy);
    glLineWidth(m_lineWidth);
    glEnable(GL_LINE_SMOOTH);
    glFrontFace(GL_CW);
    glCullFace(GL_FRONT);
    glEnable(GL_CULL_FACE);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    const GLfloat ambient[] = {0.3f, 0.3f, 0.3f, 1};
    const GLfloat diffuse[] = {0.7f, 0.7f, 0.7f, 1};
    const GLfloat position[] = {-50, 50, 100, 1};
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glColorMaterial(GL_FRONT_AND_BACK, GL_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glEnable(GL_NORMALIZE);
}

void CCOpenGLCView::Render() {
    const wxSize size = GetClientSize() * GetContentScaleFactor();
    if (size != m_stateSize) {
        SetupState(size.x, size.y);
        m_stateSize = size;
    }
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 0, 0);
    glClearDepth(1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (orthographic)
        glOrtho(-3.0 * m_aspect, 3.0 * m_aspect, -3, 3, -1000, 1000);
    else
        gluPerspective(35, m_aspect, 1, 1000);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    switch (cameraPreset) {
    case 1: gluLookAt(100, 0, 0, 0, 0, 0, 0, 0, 1); break;
    case 2: gluLookAt(0, 100, 0, 0, 0, 0, 0, 0, 1); break;
    case 3: gluLookAt(0, 0, 100, 0, 0, 0, 0, 1, 0); break;
    default:
        m_first.MultiplyCurrent();
        gluLookAt(5, 5, 2, 0, 0, 0, 0, 0, 1);
        m_second.MultiplyCurrent();
        break;
    }
    if (drawAxes) {
        glDisable(GL_DEPTH_TEST);
        CGLAxes{2, 2, 2}.Draw();
        glEnable(GL_DEPTH_TEST);
    }
    DrawScene();
}

void CCOpenGLCView::DrawScene() {
    const GLenum styles[] = {GLU_LINE, GLU_FILL, GLU_POINT, GLU_SILHOUETTE};
    const GLenum normalKinds[] = {GLU_NONE, GLU_FLAT, GLU_SMOOTH};
    if (drawStyle >= 1 && drawStyle <= 4) gluQuadricDrawStyle(m_quadric, styles[drawStyle - 1]);
    gluQuadricOrientation(m_quadric, orientation == 1 ? GLU_INSIDE : GLU_OUTSIDE);
    if (normals >= 1 && normals <= 3) gluQuadricNormals(m_quadric, normalKinds[normals - 1]);
    const CGLAxes axes;
    glInitNames();
    glPushName(0);
    glColor3f(1, 1, 1);
    glLoadName(kName[1]);
    gluSphere(m_quadric, 1, 50, 50);
    glPushMatrix();
    glTranslatef(-3, 0, 0);
    glLoadName(kName[2]);
    gluCylinder(m_quadric, 1, 0, 2, 50, 50);  // cone
    axes.Draw();
    glTranslatef(0, 2, 0);
    glLoadName(kName[4]);
    gluCylinder(m_quadric, 0.5, 0.5, 2, 50, 50);
    axes.Draw();
    glTranslatef(-2, -2, 0);
    glLoadName(kName[7]);
    gluDisk(m_quadric, 0.5, 1, 15, 25);
    axes.Draw();
    glPopMatrix();

    const bool shapes = StartGlut();
    auto at = [&](float x, float y, float z, unsigned name, auto draw) {
        glPushMatrix();
        glTranslatef(x, y, z);
        glLoadName(name);
        if (shapes) draw();
        axes.Draw();
        glPopMatrix();
    };
    if (drawStyle == 1) {
        at(2, 2, 0, kName[6], [] { glutWireTeapot(0.5); });
        at(-2, -2, 0, kName[5], [] { glutWireTorus(0.09, 0.3, 16, 24); });
        at(2.5f, 0, 0, kName[3], [] { glutWireCube(1); });
    } else if (drawStyle == 2) {
        at(2.5f, 0, 0, kName[3], [] { glutSolidCube(1); });
        glColor3ub(255, 255, 55);
        at(2.5f, 2, 0, kName[3], [] { glutSolidCube(0.5); });
        glColor3f(1, 1, 1);
        at(-2, -2, 0, kName[5], [] { glutSolidTorus(0.09, 0.3, 16, 24); });
        at(2, 2, 0, kName[6], [] { glutSolidTeapot(0.5); });
    }
    glPopName();
    glFlush();
}

void CCOpenGLCView::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    if (!MakeCurrent()) return;
    Render();
    SwapBuffers();
}

wxImage CCOpenGLCView::RenderToImage() {
    if (!MakeCurrent()) return {};
    Render();
    const wxSize size = GetClientSize() * GetContentScaleFactor();
    if (size.x <= 0 || size.y <= 0) return {};
    std::vector<unsigned char> pixels(static_cast<std::size_t>(size.x) * size.y * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, size.x, size.y, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    SwapBuffers();
    wxImage image(size.x, size.y);
    unsigned char* out = image.GetData();
    for (int y = 0; y < size.y; ++y)
        std::copy_n(pixels.data() + static_cast<std::size_t>(size.y - 1 - y) * size.x * 3, size.x * 3,
                    out + static_cast<std::size_t>(y) * size.x * 3);
    return image;
}
