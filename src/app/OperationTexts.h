#pragma once

#include "app/Recovery.h"
#include "journal/FileOperation.h"

#include <string>
#include <vector>

// How the questions, prompts and reports name an operation of the journal.
namespace pirela {

// "<P> から <Q> へのコピー", "<P> のごみ箱への移動", "<D> の一括リネーム"; an undo is named by
// the operation it takes back.
std::string DescribeOperation(const FileOperation& operation);

// The operation named shortly, by file names and the last part of folders, for the message
// pane: "DSC_0001.JPG から keep へのコピー", "DSC_0001.JPG のごみ箱への移動".
std::string BriefDescription(const FileOperation& operation);

// The question before taking the operation back. Sends keep their own questions word for word.
std::string UndoQuestion(const FileOperation& operation);

// What the user is told when taking the operation back did not happen.
std::string UndoRefusal(const FileOperation& operation, const UndoResult& result,
                        const std::string& journal);

// One message for what recovery did, at most ten operations named; empty when it dealt with
// none.
std::string RecoveryMessage(const std::vector<RecoveredOperation>& recovered);

} // namespace pirela
