// What the main window hands the dialogues that list elements of its panel, once it has collected
// the panel: the named signals and the sealed buttons. A dialogue that lists them implements
// IPanelListsDialog; the main window fills every window that does.
#pragma once
#include <string>
#include <utility>
#include <vector>

// A signal as the order lists show it: its name and its Id (the plan's signal vertex).
using TSignalEntry = std::pair<std::string, int>;

struct TPanelLists {
    // The signals that carry a name label, in the panel's order.
    std::vector<TSignalEntry> Signals;
    // The names of the sealed buttons, in the panel's order.
    std::vector<std::string> SealedButtons;
};

class IPanelListsDialog {
public:
    virtual ~IPanelListsDialog() = default;
    virtual void FillFromPanel(const TPanelLists& panel) = 0;
};
