#include "resources/Resources.h"

#include "resources/BoardIds.h"
#include "resources/ResourceIds.h"

#include <iterator>

namespace resources {

namespace {

struct StringEntry {
    int id;
    const char* text;
};

constexpr StringEntry strings[] = {
    {res::stringTitle, "Zarta"},
    {res::stringClassName, "ZARTA"},
    {res::stringGameMenu, "Game"},
};

constexpr MenuItem gameMenuItems[] = {
    {"New", ids::commandNew}, {nullptr, 0}, {"About", ids::commandAbout}, {nullptr, 0}, {"Exit", ids::commandExit},
};

constexpr Menu menus[] = {
    {res::menuGame, "Game", gameMenuItems, static_cast<int>(std::size(gameMenuItems))},
};

constexpr MenuBarButton gameBarButtons[] = {
    {res::stringGameMenu, ids::commandMenuButton, res::menuGame, 0},
};

constexpr MenuBar menuBars[] = {
    {res::menuBarGame, gameBarButtons, static_cast<int>(std::size(gameBarButtons))},
};

constexpr Accelerator mainAccelerators[] = {
    {true, 'A', ids::commandAbout},
    {true, 'Q', ids::commandClose},
    {false, acceleratorKeyF2, ids::commandNew},
};

constexpr AcceleratorTable acceleratorTables[] = {
    {res::acceleratorsMain, mainAccelerators, static_cast<int>(std::size(mainAccelerators))},
};

constexpr DialogItem aboutItems[] = {
    {DialogItem::Kind::icon, 11, 17, 20, 20, res::iconProgram, nullptr},
    {DialogItem::Kind::text, 40, 10, 70, 8, 0, "Zarta Version 1.2"},
};

constexpr DialogTemplate dialogs[] = {
    {res::dialogAbout, "About Zarta", true, true, 121, 58, "System", 8, aboutItems,
     static_cast<int>(std::size(aboutItems))},
};

template <typename Table, typename Entry = std::remove_reference_t<decltype(*std::begin(std::declval<Table&>()))>>
const Entry* findById(const Table& table, int id)
{
    for (const Entry& entry : table) {
        if (entry.id == id)
            return &entry;
    }
    return nullptr;
}

}  // namespace

const char* findString(int id)
{
    const StringEntry* entry = findById(strings, id);
    return entry ? entry->text : nullptr;
}

const Menu* findMenu(int id)
{
    return findById(menus, id);
}
const MenuBar* findMenuBar(int id)
{
    return findById(menuBars, id);
}
const AcceleratorTable* findAccelerators(int id)
{
    return findById(acceleratorTables, id);
}
const DialogTemplate* findDialog(int id)
{
    return findById(dialogs, id);
}

}  // namespace resources
