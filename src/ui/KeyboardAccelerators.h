#pragma once

#include "res/Accelerators.h"

#include <QKeyCombination>
#include <QObject>

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <vector>

class QKeyEvent;
class QWidget;

namespace pirela {

// The program's keys (1–8, N, Del, Ctrl+O, ...). They act only while one of the program's own
// windows is active and nothing else has a claim on the key: no modal dialog, no popup (a
// menu, a completer list, an open drop-down), no menu bar in keyboard mode, and not a key that
// the active window keeps for its own controls (the file list's arrows, Enter and Esc). So a
// "1" typed into a dialog never sends the shown photo, and a menu's own mnemonics and arrows
// win while it is open. Escape out of a menu of the menu bar leaves the bar as well: the keys
// are the program's again, with nothing highlighted that would say otherwise.
//
// A key held down repeats while an image decodes; the repeats that arrived while the previous
// press was still being handled are dropped, so paging stops when the key is released. Only
// paging and viewing keys repeat at all: a held 3 sends one photo, not every one that follows.
class KeyboardAccelerators : public QObject {
    Q_OBJECT
public:
    using Runner = std::function<void(int command)>;

    KeyboardAccelerators(const std::vector<res::Accelerator>& table, Runner run,
                         QObject* parent = nullptr);

    // A window in which the keys act; ownKeys are left to its controls while it is active.
    void AddWindow(QWidget* window, std::set<int> ownKeys = {});
    // The keys left to a window's controls from now on (the main window's thumbnail grid takes
    // the arrows and Return while it shows).
    void SetOwnKeys(QWidget* window, std::set<int> ownKeys);

    // The command of a key with its modifiers, or none. A punctuation key answers with or
    // without Shift, since many keyboards need Shift to type it ("+" on most, "=" on Japanese
    // ones); letters and digits with Shift are not the table's keys.
    std::optional<int> CommandFor(QKeyCombination key) const;

    // While standsAside holds, the keys of the command are left to the windows, as if they were
    // not in the table (Escape is the program's only while something is on the full screen).
    void SetStandsAside(int command, std::function<bool()> standsAside);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Whether the keys may act now, for this key.
    bool MayAct(const QKeyEvent& key) const;
    // Whether an auto-repeated key was sent while the previous key was being handled.
    bool ArrivedWhileBusy(const QKeyEvent& key) const;
    // Escape in a menu: once it closed the last menu dropped from the menu bar, the bar leaves
    // keyboard mode too, so that the program's keys act again at once. True when it took the
    // key.
    bool CloseMenuAndMenuBar(QObject* watched, QEvent* event);

    std::map<int, int> commands_; // QKeyCombination::toCombined() → command
    std::map<QWidget*, std::set<int>> windows_;
    std::map<int, std::function<bool()>> standsAside_; // command → whether it stands aside now
    Runner run_;
    unsigned long lastTimestamp_ = 0;
    long long lastDurationMs_ = -1; // -1: no key handled yet
    bool closingMenu_ = false;      // a menu is handling the Escape we handed it
};

} // namespace pirela
