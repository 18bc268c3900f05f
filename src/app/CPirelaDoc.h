#pragma once

#include "app/OperationUndo.h"
#include "folder/DateTakenCache.h"
#include "folder/FolderListing.h"
#include "folder/ImageFileList.h"
#include "folder/TakenDates.h"
#include "journal/JournalLocation.h"
#include "journal/OperationHistory.h"
#include "journal/OperationLog.h"
#include "load/DecodedImage.h"
#include "load/ImageLoader.h"
#include "platform/SystemCalls.h"
#include "send/SendEngine.h"
#include "settings/AppSettings.h"
#include "view/StatusTexts.h"

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pirela {

class DocumentHost;
class Prompter;
class StartupRecovery;

// The one document of the program: the open folder's image list, the current image with its
// turn, and the journal of its file operations, which the undo walks back. It changes itself
// and tells the windows, through the host, exactly which refreshes each change needs.
class CPirelaDoc {
public:
    // The file operations go through calls (tests pass calls that fail), and are recorded in
    // the journal in journalFolder.
    CPirelaDoc(AppSettings& settings, Prompter& prompter, DocumentHost& host,
               const SystemCalls& calls = SystemCalls::Libc(),
               std::filesystem::path journalFolder = DefaultJournalFolder());
    // Stops the decodes still running.
    ~CPirelaDoc();
    CPirelaDoc(const CPirelaDoc&) = delete;
    CPirelaDoc& operator=(const CPirelaDoc&) = delete;

    DecodedImage& Image() { return image_; }
    const DecodedImage& Image() const { return image_; }
    int TurnState() const { return image_.TurnState(); }
    ImageFileList& FileList() { return list_; }
    const ImageFileList& FileList() const { return list_; }
    // What the status bar and the title tell of the document as it stands.
    DocumentFacts Facts() const;
    // The destinations (their folders' last parts) the file was copied to during this run.
    const std::vector<std::string>& CopiedTo(const std::string& path) const;

    // --- Opening and loading ---

    // Opens a file chosen by the user, listing its folder. False, after telling the user, when
    // the extension is not one Pirela opens or the file cannot be opened; false too when the
    // folder holds too many images (the document is then closed). Otherwise the load's result.
    bool OpenImageFile(const std::string& path);

    // Opens a folder and shows its first image. False when it holds no image (after telling
    // the user) or too many.
    bool OpenImageFolder(const std::string& folder);

    // Opens a path given from outside (the command line): asks whether subfolders are to be
    // searched, then opens the folder, or the file with its folder. Always true.
    bool OnOpenDocument(const std::string& path);

    // Opens the folder and shows the image as they were when the program last closed (the
    // image's name relative to the folder when subfolders are searched), the image at once
    // while the folder is listed. False, showing nothing and telling nothing, when either is
    // gone; an image the folder no longer lists (the options changed) shows outside the list.
    bool ReopenImage(const std::string& folder, const std::string& image);

    // Reads the current image again from its file, which may have changed on disk.
    void Refresh();

    // After the options changed: reads the current image again when it was decoded under
    // settings the options no longer hold (photos turned upright or not), and stops a decode
    // ahead made under them.
    void ApplyDecodeSettings();

    // Reads the file into the current image. False when the file cannot be opened (the image
    // is then removed); true otherwise, also when it could not be decoded (the view then
    // paints an error text naming it). With the turn kept, a decoded image receives it.
    bool LoadImageFile(const std::string& path);

    // --- Decoding on worker threads ---

    // The view's zoom, turn and client area: decodes prepare the picture it will paint.
    void SetViewPlan(const ViewPlan& plan);
    // Takes a decode started before the document existed (the file named on the command line).
    void AdoptEarlyDecode(std::shared_ptr<DecodeJob> decode);
    // On the main thread, after the host heard from a worker that a decode ended: a shown
    // image that broke off (or a helper's that gave nothing) becomes the file that could not be
    // decoded, a helper's bitmap that came takes its place with its size and kept turn, the
    // views repaint with the whole bitmap, and the neighbour starts decoding ahead.
    void OnDecodeEnded();
    const ImageLoader& Loader() const { return loader_; }
    // Where an animation's frames are decoded (the decoder helper); without it animated files
    // show their first frame only.
    void SetFrameOpener(AnimationJob::Opener opener) { frameOpener_ = std::move(opener); }

    // --- The folder's list ---

    // Lists the folder's images, sorted, waiting for the list beside the window. When there are
    // more than the list holds, the user is told and the names that fitted stay.
    void ScanFolder();

    // Whether the open folder's list is still being made on a worker (the photo opened shows
    // meanwhile; its place in the list is not known yet).
    bool ListingPending() const { return listing_ != nullptr; }
    // Waits for that list without holding the window: it repaints, and its viewing commands
    // act; Escape stops the scan and keeps what was found. Then the list is taken in. Nothing
    // happens while no list is being made.
    void AwaitListing();
    // On the main thread, after the host heard from the listing's worker: the busy text follows
    // the listing, and a list that is ready is taken in, title, status texts and file list
    // telling the current image's place. In the date-taken order, the dates read since are
    // taken in and the list sorted again, the photo shown staying where the user is.
    void OnListingChanged();
    // After the options changed: the list is sorted in the order they hold, the current image
    // staying current.
    void ApplyListOrder();
    // The order the options choose for the list, and the dates taken read so far (the batch
    // rename numbers in that order).
    ListOrder ChosenOrder() const { return ListOrderFromSetting(options_.sortOrder); }
    DateTakenCache& TakenCache() { return takenCache_; }
    // Whether the dates of the list's photos are being read (in the date-taken order).
    bool ReadingDates() const { return takenDates_ != nullptr; }
    // The folder reader the scans go through (tests give one that makes up its folders).
    void SetDirectoryReader(const DirectoryReader& reader) { reader_ = &reader; }

    // Each moves the current index and returns the new current path, or "" when it cannot move.
    // A list still being made is waited for first.
    std::string NextImage();
    std::string PrevImage();
    std::string FirstImage();
    std::string LastImage();
    std::string JumpImage(int delta); // by exactly delta; "" when that lands outside the list

    // Shows the entry a move has made current, and brings title, scroll sizes, status texts
    // and the file list window's selection along.
    void ShowListedImage(const std::string& path);

    // Closes the folder: no list, no image.
    void ResetDocument();
    // Shows no image while the folder stays open (its last listed file has gone).
    void ClearImage();
    // Reads the folder again, keeping the current image where it still is.
    void RescanFolder();
    // Refills the file list window, selecting the named row (row 0 without a name).
    void SyncFileListWindow(std::optional<std::string_view> nameToSelect);
    // Takes the current entry out of the list (it was moved or deleted); the index then points
    // at the entry that followed it, or at the new last one.
    void RemoveCurrentEntry();
    // The current image follows a batch rename of ours (or, takenBack, its undo) to its new
    // name: the next reading of the folder shows it there rather than saying it is gone.
    void FollowRename(const FileOperation& rename, bool takenBack);

    // --- Sending ---

    // Where the user may choose several photos (the thumbnail grid): their rows, in list order.
    // While it names more than one, the sends and the trash act on all of them as one operation.
    void SetChosenRows(std::function<std::vector<int>()> chosenRows) {
        chosenRows_ = std::move(chosenRows);
    }

    // Sends the current image to destination folder n (0..7); an unset destination is first
    // chosen with the folder browser and kept. Nothing happens while no image is shown.
    void SendToFolder(int n);
    // Sends the current image to a folder chosen for this one send.
    void SendToOtherFolder();
    // Copies or moves the current image into the other folder when it is not empty, else into
    // destination folder n, after the checks and questions. After a move the list loses the
    // entry and the next image (or the previous, or none) is shown. True when the file went.
    bool SendImageToFolder(int n, const std::string& otherFolder);

    // --- The journal of file operations ---

    OperationLog& Operations() { return log_; }
    // Takes over the recovery started with the program: the first file operation waits for it.
    void AdoptRecovery(std::shared_ptr<StartupRecovery> recovery) { startup_ = std::move(recovery); }
    // Before any file operation: the recovery at the start has ended, and the operations that
    // an instance which died since left open are recovered (the user is told, as at the start).
    // False when the user cancelled the wait: the operation is not to start then.
    bool AwaitRecovery();
    // The newest operation the undo takes back; none when there is none.
    const std::optional<FileOperation>& LatestOperation() { return history_.Latest(); }
    // The undo command's prompt, naming that operation.
    std::string UndoPrompt();

    // --- Taking files back ---

    // Asks, then takes the newest operation of the journal not yet taken back: deletes the copy
    // a send made, moves a file back, brings a file back from the trash, or gives the files of
    // a batch rename their old names; then reads the open folder again (not after a copy),
    // showing a file that came back when the folder lists it. What cannot be taken back is
    // told; a move is then spent, anything else stays offered unless the user passes it over.
    void UndoLastSend();
    // Asks, then moves the current image to the trash of its disk and shows the image that
    // followed it (or the previous, or none). When no trash takes it, the user is told and
    // nothing changes: the file is never deleted for good instead.
    void DeleteToRecycleBin();

    // --- Turning ---

    // Turns the current image: kTurnLeft, kTurnHalf or kTurnRight; 0 does nothing. An image of
    // 4 bits per pixel or less is refused with a message, and the turn state goes back to 0 so
    // that a kept turn is not tried on the next image. Afterwards the views repaint, and the
    // scroll sizes and status texts follow.
    void ApplyTurn(int direction);

    // Back to the image as in its file: reloads it (picking up changes made on disk) with the
    // turn state 0. Nothing happens while the image is not turned.
    void ResetTurn();

    // One quarter turn, kTurnLeft or kTurnRight. When the turned bitmap cannot be made, the
    // image and the turn state stay as they were.
    void TurnQuarter(int direction);

private:
    std::string MoveTo(int index);
    // Selects the current entry's row in the file list window, when there is one.
    void SelectCurrentRow();
    void ApplyKeptTurn();
    // A helper's bitmap came for the image that was loading: facts, kept turn, refreshes.
    void SettleLoadedImage();
    // Starts the current image playing when it is an animated file shown unturned and the
    // options want animations; stops it when they do not.
    void ApplyAnimation();
    // After a move: the entry goes, and what now stands at the index is shown.
    void ShowAfterRemoval();
    // Scroll sizes, status texts and title, after a send or after the trash took the image.
    void RefreshAfterFileChange();
    // Tells in the message pane what a file operation did, first that the last image of the
    // list went when it did (the one shown now is the one before it, already seen).
    void TellOutcome(const std::string& text);
    // The rows chosen, when more than one is.
    std::vector<int> SeveralChosen() const;
    // Several chosen photos sent as one operation, as SendImageToFolder sends one.
    bool SendSeveralToFolder(const std::vector<int>& rows, int n, const std::string& otherFolder);
    // Several chosen photos into the trash as one operation, after one question.
    void TrashSeveral(const std::vector<int>& rows);
    // The entries of files that went take leave of the list; the entry that followed the first
    // of them is shown.
    void RemoveEntries(const std::vector<std::string>& names);
    // The destinations (their folders' last parts) the image was copied to during this run.
    void MarkCopied(const std::string& source, const std::string& destination);
    void UnmarkCopied(const std::string& source, const std::string& destination);
    // The list's name for a path in the open folder, or "" for a path outside it.
    // Shows the file at `path` at once, current under `name` in the list's folder, while the
    // folder is listed on a worker; false when the file cannot be loaded.
    bool ShowWhileListing(const std::string& name, const std::string& path);
    std::string ListNameOf(const std::string& path) const;
    // Shows the file at the path when the open folder lists it under exactly that name.
    void ShowReturnedFile(const std::string& path);
    // Decodes the neighbour in the direction of travel, once the shown image's decode ended and
    // the image was painted.
    void DecodeAhead();
    void StartDecodeAhead();
    // The settings decodes are made under, as the options stand now.
    DecodeSettings CurrentDecodeSettings() const;
    // Starts listing the open folder on a worker, in the order the options hold.
    void StartListing();
    // Waits for the list being made, beside the window, and takes it in.
    void WaitForListing();
    // Once a list has come: the file list, title and status texts tell the current image's
    // place, and the neighbour is decoded ahead.
    void ShowListArrived();
    // Installs the finished listing's list, the current image found in it by name; tells the
    // user when the folder held more than the list can.
    void TakeListing();
    // Sorts the list in the order, the current image staying current.
    void SortKeepingCurrent(ListOrder order);
    // In the date-taken order: starts reading the dates of the list's photos on workers.
    void StartReadingDates();
    // Takes the dates read so far into the list and sorts it again; the photo shown stays.
    void TakeReadDates();

    AppSettings& settings_;
    OptionBlock& options_;
    Prompter& prompter_;
    DocumentHost& host_;
    const SystemCalls& calls_;
    ImageFileList list_;
    DecodedImage image_;
    OperationLog log_;
    OperationHistory history_;
    std::shared_ptr<StartupRecovery> startup_;
    SendEngine sendEngine_;
    OperationUndo undo_;
    int direction_ = 1;
    bool aheadWanted_ = false;
    bool lastImageWent_ = false; // the last operation took away the list's last image
    // Where a rename of ours took the current image, until the folder is read again.
    std::optional<std::string> renamedCurrent_;
    std::map<std::string, std::vector<std::string>> copiedTo_; // path → destinations this run
    std::function<std::vector<int>()> chosenRows_;
    // The settings the current image was decoded under.
    DecodeSettings shownSettings_;
    // The image generation whose decode's end was last dealt with.
    std::uint64_t settledGeneration_ = 0;
    // The image generation installed while its helper's bitmap was still to come (0: none).
    std::uint64_t loadingGeneration_ = 0;
    const DirectoryReader* reader_ = &DirectoryReader::System();
    // The list being made, and the order the list in hand is in.
    std::unique_ptr<FolderListing> listing_;
    // When photos were taken, kept for the whole run; and the dates being read for the list.
    DateTakenCache takenCache_;
    std::unique_ptr<TakenDates> takenDates_;
    ListOrder listOrder_ = ListOrder::Name;
    // While AwaitListing waits: the listing is not taken from under it.
    bool awaitingListing_ = false;
    AnimationJob::Opener frameOpener_;
    // Last, so that its workers stop first.
    ImageLoader loader_;
};

} // namespace pirela
