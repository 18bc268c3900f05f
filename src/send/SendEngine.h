#pragma once

#include "host/Prompter.h"
#include "platform/SystemCalls.h"
#include "send/SendTarget.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pirela {

class DocumentHost;
class OperationLog;

// What the user asked to send, and how.
struct SendRequest {
    std::string source;    // the current image's full path
    std::string folder;    // the destination folder as set or chosen
    std::int64_t size = 0; // the file's size when it was loaded
    bool copy = true;      // copy, or move
    bool ask = false;      // confirm first
    bool rename = false;   // ask for a new name at every send
};

// A send the user has agreed to, with its target settled.
struct SendPlan {
    std::string source;
    SendTarget target;
    bool copy = true;
};

// Several photos to send into one folder as one operation (chosen in the thumbnail grid).
struct SeveralSendRequest {
    std::vector<std::string> sources; // full paths, in the list's order
    std::string folder;
    std::int64_t size = 0; // their sizes together
    bool copy = true;
    bool ask = false;
    bool rename = false;
};

// Sends one file into a folder: the checks and questions before (the same folder, the
// confirmation, a new name or the overwrite question, free space), then the copy or move with
// its status text, as an operation of the journal, telling the user whenever it refuses or
// fails.
class SendEngine {
public:
    SendEngine(Prompter& prompter, DocumentHost& host, OperationLog& log,
               const SystemCalls& calls = SystemCalls::Libc())
        : prompter_(prompter), host_(host), log_(log), calls_(calls) {}

    // The plan, or none when the send is refused or the user declines.
    std::optional<SendPlan> Prepare(const SendRequest& request) const;

    // Copies or moves, behind the wait cursor and with the status text showing; afterMove runs
    // once a move has succeeded, while they still show. False, after telling the user what
    // happened, when the file operation failed; nothing is lost then. A name the destination's
    // disk refuses brings the new-name dialog, and the plan takes the name the user gives.
    bool Transfer(SendPlan& plan, const std::function<void()>& afterMove) const;

    // The same for several photos: one confirmation naming their count, the overwrite question
    // for each photo whose name is taken (an answer given "すべてに適用" answers for the photos
    // after it), room for them all. The plans in the photos' order, or none.
    std::optional<std::vector<SendPlan>> PrepareSeveral(const SeveralSendRequest& request) const;
    // Copies or moves them as one operation of the journal with one progress; a failure stops
    // the photos after it and is told. Which photos went, in the plans' order.
    std::vector<bool> TransferSeveral(const std::vector<SendPlan>& plans) const;

private:
    bool IsSourceFolder(const std::string& folder, const std::string& source) const;
    bool Confirm(const SendRequest& request, const std::string& destination) const;
    std::optional<SendTarget> ChooseTarget(const SendRequest& request, const std::string& folder,
                                           const std::string& destination) const;
    // The overwrite question's answer: replace, a new name, or nothing.
    std::optional<SendTarget> TargetAnswered(MessageAnswer answer, const std::string& folder,
                                             const std::string& destination) const;
    bool HasRoomFor(const SendRequest& request, const std::string& destination) const;
    bool HasRoomFor(std::int64_t size, bool copy, const std::string& destination) const;
    // One photo's target among several: the overwrite question (or the one answer given for
    // all, kept in forAll), a new name for one whose name another photo already takes.
    std::optional<SendTarget> ChooseTargetAmong(const SeveralSendRequest& request,
                                                const std::string& source,
                                                const std::vector<SendPlan>& planned,
                                                std::optional<MessageAnswer>& forAll) const;
    // keptInTrash: where the file the send was to replace stayed in the trash, when the send
    // did not happen and it could not be put back.
    TransferResult TransferOnce(const SendPlan& plan, const std::function<void()>& afterMove,
                                std::string& keptInTrash) const;
    void ReportFailure(const SendPlan& plan, const TransferResult& result,
                       const std::string& keptInTrash) const;

    Prompter& prompter_;
    DocumentHost& host_;
    OperationLog& log_;
    const SystemCalls& calls_;
};

} // namespace pirela
