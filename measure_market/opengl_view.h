#pragma once
// CCOpenGLCView: the measurement window's main view, an OpenGL canvas that
// renders a fixed demonstration scene of quadrics (sphere, cone, cylinder,
// disk) and solid or wire shapes (cube, torus, teapot) with coloured axes,
// seen from one of four camera presets, in perspective or orthographic
// projection.
//
// Window thread only. Rendering needs a display with GLX (Mesa's software
// renderer under Xvfb will do); the shapes come from GLU and freeglut.
#include <array>
#include <wx/glcanvas.h>
#include <wx/image.h>
#include <wx/timer.h>

struct GLUquadric;

// 16 floats, identity at first.
struct CGLMatrix {
    std::array<float, 16> m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    void MultiplyCurrent() const;
};

// Three axis lines from the origin: X red, Y green, Z blue; lighting off
// while they are drawn.
struct CGLAxes {
    float x = 2, y = 2, z = 2;
    void Draw() const;
};

class CCOpenGLCView : public wxGLCanvas {
public:
    explicit CCOpenGLCView(wxWindow* parent);
    ~CCOpenGLCView() override;

    bool contextReady() const { return m_context != nullptr; }
    float aspect() const { return m_aspect; }
    // The scene drawn into the back buffer and read back (tests and
    // screenshots); an invalid image without a context.
    wxImage RenderToImage();

    // The view's settings (the Part's defaults).
    int cameraPreset = 4;
    bool orthographic = false;
    bool drawAxes = true;
    int drawStyle = 2;    // 1 line, 2 fill, 3 point, 4 silhouette
    int orientation = 2;  // 1 inside, 2 outside
    int normals = 3;      // 1 none, 2 flat, 3 smooth

private:
    void OnPaint(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);
    bool MakeCurrent();
    void SetupState(int cx, int cy);
    void Render();
    void DrawScene();

    wxGLContext* m_context = nullptr;
    GLUquadric* m_quadric = nullptr;
    CGLMatrix m_first, m_second;
    float m_aspect = 1;
    float m_lineWidth = 0.05f;
    wxSize m_stateSize;
    wxTimer m_timer;
};

// The aspect ratio of a window of cx x cy: cx / cy, or cx when cy is 0.
float ViewAspect(int cx, int cy);
