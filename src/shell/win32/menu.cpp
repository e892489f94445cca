// The window's menu bar, made from the core's design.
#include "menu.h"

#include "design/design.h"
#include "failure.h"
#include "messages.h"
#include "text.h"

#include <utility>

namespace pellorin::win32 {
namespace {

// Owns a menu until it is handed on: a menu that is not part of a window
// is destroyed with what it holds.
class Menu {
public:
    explicit Menu(HMENU menu) : m_menu(menu)
    {
        if (!m_menu)
            throw Failure(L"menyn", GetLastError());
    }
    ~Menu()
    {
        if (m_menu)
            DestroyMenu(m_menu);
    }
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;
    Menu(Menu&&) = delete;
    Menu& operator=(Menu&&) = delete;

    void append(UINT flags, UINT_PTR id, const wchar_t* caption)
    {
        if (!AppendMenuW(m_menu, flags, id, caption))
            throw Failure(L"menyn", GetLastError());
    }
    HMENU get() const { return m_menu; }
    HMENU release() { return std::exchange(m_menu, nullptr); }

private:
    HMENU m_menu;
};

} // namespace

HMENU makeMenu()
{
    Menu bar(CreateMenu());
    Menu menu(CreatePopupMenu());
    for (const design::MenuItem& item : design::MenuItems) {
        if (item.command == design::Command::None)
            menu.append(MF_SEPARATOR, 0, nullptr);
        else
            menu.append(MF_STRING, CommandBase + static_cast<UINT>(item.command), wide(item.caption).c_str());
    }
    bar.append(MF_POPUP, reinterpret_cast<UINT_PTR>(menu.get()), wide(design::Menu.caption).c_str());
    // The bar holds the menu now, and destroys it with itself.
    menu.release();
    return bar.release();
}

} // namespace pellorin::win32
