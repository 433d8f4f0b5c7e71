#include "demo/project_builder/project_description.h"

#include <cmath>
#include <sstream>
#include <stdexcept>

namespace demo {

DemoProject ReadDemoProject(std::istream& in) {
    DemoProject project;
    std::string line;
    int number = 0;
    bool figure = false;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream fields(line);
        std::string key;
        if (!(fields >> key) || key[0] == '#') continue;
        auto fail = [&](const std::string& why) {
            throw std::runtime_error("line " + std::to_string(number) + ": " + why + ": " + line);
        };
        std::string extra;
        if (key == "project") {
            std::string kind;
            if (!(fields >> project.name >> kind) || (kind != "basic" && kind != "web")) fail("give a name and basic or web");
            project.web = kind == "web";
        } else if (key == "figure") {
            if (!(fields >> project.figureX >> project.figureY >> project.scale) || !(project.scale > 0))
                fail("give x, y and a scale above 0");
            figure = true;
        } else if (key == "category") {
            std::string name;
            if (!(fields >> name)) fail("give the category name");
            project.categories.push_back(name);
        } else if (key == "item") {
            DemoItem item;
            if (!(fields >> item.picture >> item.drawing >> item.depth >> item.name >> item.goodsCode >> item.price))
                fail("an item needs picture, drawing, depth, name, goods code and price");
            fields >> item.link;
            if (project.categories.empty()) fail("an item before the first category");
            if (item.depth < 1 || item.depth > 99) fail("the depth must be a slot from 1 to 99");
            item.category = static_cast<int>(project.categories.size()) - 1;
            project.items.push_back(item);
        } else if (key == "voice") {
            std::string picture, file, text;
            if (!(fields >> picture >> file)) fail("a voice needs picture, file and text");
            std::getline(fields >> std::ws, text);
            if (text.empty()) fail("a voice needs the text it speaks");
            const bool plain = file.find_first_of("/\\") == std::string::npos && file.size() > 4 &&
                               file.compare(file.size() - 4, 4, ".wav") == 0;
            if (!plain) fail("the voice file must be a plain name ending in .wav");
            DemoItem* owner = nullptr;
            for (DemoItem& item : project.items)
                if (item.picture == picture) owner = &item;
            if (!owner) fail("a voice for no item");
            owner->voice = file;
            owner->voiceText = text;
        } else {
            fail("unknown line");
        }
        if (fields >> extra) fail("more fields than expected");
    }
    if (project.name.empty()) throw std::runtime_error("no project line");
    if (!figure) throw std::runtime_error("no figure line");
    return project;
}

Corner StoredCorner(int left, int top, int w, int h) {
    if (w < h) return {left - (h - w) / 2, top};
    if (h < w) return {left, top - (w - h) / 2};
    return {left, top};
}

Corner PictureCorner(int x, int y, int w, int h) {
    if (w < h) return {x + (h - w) / 2, y};
    if (h < w) return {x, y + (w - h) / 2};
    return {x, y};
}

int StageCoordinate(int figure, int origin, float scale) {
    return figure + static_cast<int>(std::lround(origin * static_cast<double>(scale)));
}

}  // namespace demo
