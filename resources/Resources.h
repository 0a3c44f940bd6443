// The program's resources by numeric id, compiled into the binary. Images,
// icons and the palette come from the build-time generator (see
// resources/README.md); strings, menus, accelerators and dialog templates are
// written out in Resources.cpp.
#pragma once

#include <cstdint>

namespace resources {

struct Bitmap {
    int id;
    int width;
    int height;
    const std::uint8_t* pixels;  // width * height palette indices, row by row
};

// Generated.
const Bitmap* findBitmap(int id);          // nullptr for an unknown id
const Bitmap* findIcon(int id, int size);  // a drawn size (16, 32, 48, 64, 128, 256); nullptr otherwise
int iconCount();
const Bitmap* iconAt(int index);  // the program icon's drawings, in rising size
int bitmapCount();
const Bitmap* bitmapAt(int index);               // in rising id order
std::uint32_t paletteColor(std::uint8_t index);  // 0xRRGGBB
int paletteSize();                               // palette entries, 1..256
// Pixels of this index are not drawn: what lies beneath shows through.
std::uint8_t clearIndex();

// Hand-written.
const char* findString(int id);  // nullptr for an unknown id

struct MenuItem {
    const char* text;  // nullptr for a separator
    int command;
};
struct Menu {
    int id;
    const char* title;
    const MenuItem* items;
    int itemCount;
};
const Menu* findMenu(int id);

struct MenuBarButton {
    int labelString;  // string id of the button label
    int command;      // sent to the owner before the pop-up opens
    int menuId;       // menu whose sub-menu the button opens
    int subMenu;
};
struct MenuBar {
    int id;
    const MenuBarButton* buttons;
    int buttonCount;
};
const MenuBar* findMenuBar(int id);

// F2 as the platform's key messages carry it (keyF2 in platform/Platform.h).
constexpr int acceleratorKeyF2 = 0x171;

struct Accelerator {
    bool control;
    int key;  // an upper-case letter, or a key code above 127 (function keys)
    int command;
};
struct AcceleratorTable {
    int id;
    const Accelerator* entries;
    int count;
};
const AcceleratorTable* findAccelerators(int id);

struct DialogItem {
    enum class Kind { icon, text };
    Kind kind;
    int x, y, width, height;  // dialog units
    int iconId;
    const char* text;
};
struct DialogTemplate {
    int id;
    const char* caption;
    bool okInCaption;
    bool centred;
    int width, height;  // dialog units
    const char* fontName;
    int fontPoints;
    const DialogItem* items;
    int itemCount;
};
const DialogTemplate* findDialog(int id);

}  // namespace resources
