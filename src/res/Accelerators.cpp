#include "res/Accelerators.h"

#include "res/ResourceIds.h"

namespace pirela::res {

const std::vector<Accelerator>& MainAccelerators() {
    static const std::vector<Accelerator> table{
        {"Ctrl+O", kCmdFileOpen},     {"F5", kCmdRefresh},
        {"Up", kCmdScrollUp},         {"Down", kCmdScrollDown},
        {"Left", kCmdScrollLeft},     {"Right", kCmdScrollRight},
    };
    return table;
}

} // namespace pirela::res
