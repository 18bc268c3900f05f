#pragma once

#include "settings/AppSettings.h"

#include <string>

namespace pirela {

class DesktopServices;
class DocumentHost;
class Prompter;

// Hands the current image to an external program: a registered one, which moves to the top of
// the list once it has started, or one just chosen by its path, which joins the list first.
// The image path is the program's one argument; no shell ever sees it.
class ProgramStarter {
public:
    ProgramStarter(AppSettings& settings, Prompter& prompter, DocumentHost& host,
                   DesktopServices& desktop);

    // Starts registered program number index (0 for the first). A failure is told to the user
    // and leaves the order as it was.
    void Run(int index, const std::string& imagePath);
    // Registers the program at the top (dropping the eighth), rebuilds the program menu,
    // remembers its folder for the next choice, and starts it.
    void RunChosen(const std::string& programPath, const std::string& imagePath);

private:
    bool Start(const std::string& name, const std::string& command, const std::string& imagePath);

    AppSettings& settings_;
    Prompter& prompter_;
    DocumentHost& host_;
    DesktopServices& desktop_;
};

} // namespace pirela
