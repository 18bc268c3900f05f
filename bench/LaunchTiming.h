#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

// What the benchmarks that start the program in a child process share.
namespace pirela::bench {

// Milliseconds since this process started, from the kernel's record of its start.
inline double MillisecondsSinceProcessStart() {
    std::ifstream stat("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    std::size_t at = text.rfind(')') + 2;
    for (int field = 3; field < 22; ++field) {
        at = text.find(' ', at) + 1;
    }
    const double startTicks = std::stod(text.substr(at));
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return (now.tv_sec + now.tv_nsec / 1e9) * 1000.0 - startTicks * 1000.0 / sysconf(_SC_CLK_TCK);
}

// Answers the start's question (search the subfolders?) with No as soon as it is asked.
inline void AnswerQuestionsAtOnce() {
    QTimer::singleShot(0, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            box->button(QMessageBox::No)->click();
        } else {
            AnswerQuestionsAtOnce();
        }
    });
}

} // namespace pirela::bench
