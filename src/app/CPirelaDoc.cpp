#include "app/CPirelaDoc.h"

#include "common/PathRules.h"
#include "folder/FolderScan.h"
#include "folder/Navigation.h"
#include "host/DocumentHost.h"
#include "host/Prompter.h"
#include "image/Rotation.h"
#include "platform/FileAccess.h"
#include "platform/RegularFile.h"
#include "res/Messages.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <utility>

namespace pirela {

namespace {

// How long opening a photo waits for its folder's list before the window goes on without it:
// a folder of some thousand images is listed by then, and title, status bar and file list
// tell the photo's place at once, as they always did.
constexpr auto kListingQuietTime = std::chrono::milliseconds(20);
// How often a wait for the list looks at it, to stop it or to tell its progress.
constexpr auto kListingPollTime = std::chrono::milliseconds(40);

// What the busy window says while the list is made.
std::string ListingBusyText(const FolderListing& listing) {
    if (listing.CurrentPhase() == FolderListing::Phase::Searching) {
        return res::kBusySearching;
    }
    std::string busy = res::kBusySorting;
    if (listing.Found() >= res::kSlowSortCount) {
        busy += res::kBusySortingSlowly;
    }
    return busy;
}

// The scroll area shown while a folder stays open without an image, and for a folder opened
// without any.
constexpr int kEmptyFolderScrollSize = 50;
constexpr int kNoImagesScrollSize = 100;

struct OpenedFile {
    std::int64_t size = 0;
    std::time_t modified = 0;
};

// The file's facts, or none when it cannot be opened for reading. Only regular files count:
// opening a pipe or a device named like an image would hang or read forever.
std::optional<OpenedFile> OpenForFacts(const std::string& path) {
    const int fd = OpenRegularFile(path.c_str());
    if (fd < 0) {
        return std::nullopt;
    }
    struct stat status {};
    const bool known = ::fstat(fd, &status) == 0;
    ::close(fd);
    if (!known) {
        return std::nullopt;
    }
    return OpenedFile{static_cast<std::int64_t>(status.st_size), status.st_mtime};
}

} // namespace

CPirelaDoc::CPirelaDoc(AppSettings& settings, Prompter& prompter, DocumentHost& host,
                       const SystemCalls& calls, std::filesystem::path journalFolder)
    : settings_(settings), options_(settings.options), prompter_(prompter), host_(host),
      calls_(calls), log_(std::move(journalFolder), calls),
      history_(log_.Journal().Path()), sendEngine_(prompter, host, log_, calls),
      undo_(prompter, host, log_, calls),
      loader_([&host] { host.PostDecodeEnded(); }, [&host] { host.PostRepaint(); }) {}

CPirelaDoc::~CPirelaDoc() = default;

DocumentFacts CPirelaDoc::Facts() const {
    DocumentFacts facts;
    facts.folder = list_.Folder();
    facts.currentName = std::string(list_.CurrentName());
    facts.current = list_.Current();
    facts.count = list_.Count();
    facts.hasCurrentImage = list_.HasCurrentImage();
    facts.listing = ListingPending();
    facts.shown = image_.Shown();
    facts.hasBitmap = image_.HasBitmap();
    facts.loading = image_.Loading();
    facts.turnState = image_.TurnState();
    facts.info = image_.Info();
    if (const auto copied = copiedTo_.find(list_.CurrentImagePath()); copied != copiedTo_.end()) {
        for (const std::string& destination : copied->second) {
            facts.copiedTo += (facts.copiedTo.empty() ? "" : ", ") + destination;
        }
    }
    return facts;
}

const std::vector<std::string>& CPirelaDoc::CopiedTo(const std::string& path) const {
    static const std::vector<std::string> none;
    const auto found = copiedTo_.find(path);
    return found == copiedTo_.end() ? none : found->second;
}

// --- Opening and loading ---

bool CPirelaDoc::OpenImageFile(const std::string& path) {
    if (!IsOpenableExtension(ExtensionOf(path))) {
        prompter_.ShowMessage(res::ForeignFormatMessage(FileNameOf(path)),
                              MessageIcon::Information, MessageButtons::Ok);
        return false;
    }
    list_.SetFolder(FolderOf(path));
    if (ShowWhileListing(std::string(FileNameOf(path)), path)) {
        return true;
    }
    prompter_.ShowMessage(res::CannotOpenMessage(path), MessageIcon::Warning, MessageButtons::Ok);
    return false;
}

bool CPirelaDoc::OpenImageFolder(const std::string& folder) {
    list_.SetFolder(WithoutTrailingSeparator(folder));
    // The first image is known only once the whole folder is sorted.
    ScanFolder();
    host_.RefreshStatusTexts();
    if (list_.Count() > 0) {
        return LoadImageFile(list_.CurrentImagePath());
    }
    // The picture of the folder before goes first, so that title and panes already tell of
    // the empty folder while the message stands over them.
    image_.Discard();
    image_.SetShown(true);
    host_.RefreshStatusTexts();
    host_.RefreshTitle();
    SyncFileListWindow(std::nullopt);
    host_.SetFixedScrollSizes(kNoImagesScrollSize, kNoImagesScrollSize);
    host_.UpdateAllViews();
    prompter_.ShowMessage(res::NoImagesMessage(list_.Folder()), MessageIcon::Information,
                          MessageButtons::Ok);
    return false;
}

bool CPirelaDoc::OnOpenDocument(const std::string& path) {
    std::error_code error;
    const bool isFolder = std::filesystem::is_directory(path, error);
    // The question names the folder that will be searched: the path itself for a folder.
    const std::string folder = isFolder ? WithoutTrailingSeparator(path) : FolderOf(path);
    const MessageAnswer answer = prompter_.ShowMessage(
        res::SearchSubfoldersQuestion(folder), MessageIcon::Question, MessageButtons::YesNo);
    options_.findSubfolder = answer == MessageAnswer::Yes ? 1 : 0;
    if (isFolder) {
        OpenImageFolder(path);
    } else {
        OpenImageFile(path);
    }
    settings_.lastSelectFolder = folder;
    return true;
}

bool CPirelaDoc::ReopenImage(const std::string& folder, const std::string& image) {
    const std::string prefix = JoinPath(folder, "");
    std::error_code error;
    if (folder.empty() || image.size() <= prefix.size() || !image.starts_with(prefix) ||
        !std::filesystem::is_directory(folder, error) ||
        !std::filesystem::is_regular_file(image, error)) {
        return false;
    }
    list_.SetFolder(folder);
    return ShowWhileListing(image.substr(prefix.size()), image);
}

bool CPirelaDoc::ShowWhileListing(const std::string& name, const std::string& path) {
    list_.ClearFileList();
    // The photo shows while its folder is listed; its index is known once the list is. A file
    // the scan does not list (a hidden one, say) stays the current file by its own name.
    list_.SetCurrentUnlisted(name);
    StartListing();
    const bool loaded = LoadImageFile(path);
    if (listing_->WaitFor(kListingQuietTime)) {
        TakeListing();
    } else {
        host_.ShowBusyText(ListingBusyText(*listing_));
    }
    return loaded;
}

std::string CPirelaDoc::ListNameOf(const std::string& path) const {
    const std::string prefix = JoinPath(list_.Folder(), "");
    if (list_.Folder().empty() || path.size() <= prefix.size() || !path.starts_with(prefix)) {
        return {};
    }
    return path.substr(prefix.size());
}

void CPirelaDoc::Refresh() {
    LoadImageFile(list_.CurrentImagePath());
    host_.UpdateScrollSizes();
    host_.RefreshStatusTexts();
    host_.RefreshTitle();
    host_.UpdateAllViews();
}

void CPirelaDoc::ApplyDecodeSettings() {
    loader_.SetSettings(CurrentDecodeSettings());
    if (list_.HasCurrentImage() && !(shownSettings_ == CurrentDecodeSettings())) {
        Refresh();
    }
    ApplyAnimation();
}

void CPirelaDoc::ApplyAnimation() {
    const DecodeJob* decode = image_.Decode();
    const bool wanted = options_.playAnimation != 0 && frameOpener_ && image_.TurnState() == 0 &&
                        decode != nullptr && decode->HasEnded() && image_.HasBitmap() &&
                        image_.PixelsSoFar()->Animated();
    if (!wanted) {
        image_.SetAnimation(nullptr);
        return;
    }
    if (image_.Animation() != nullptr) {
        return;
    }
    const Bitmap* bitmap = image_.PixelsSoFar();
    AnimationJob::Setup setup;
    setup.path = decode->Path();
    setup.format = decode->Format();
    setup.drawSize = DrawSizeUnder(loader_.Plan(), PixelSize{bitmap->Width(), bitmap->Height()});
    setup.colour = decode->Settings().manageColour ? bitmap->Colour() : nullptr;
    setup.open = frameOpener_;
    setup.onFrame = [&host = host_] { host.PostRepaint(); };
    image_.SetAnimation(std::make_unique<AnimationJob>(std::move(setup)));
}

bool CPirelaDoc::LoadImageFile(const std::string& path) {
    const WaitCursor wait(host_);
    const std::string_view fileName = FileNameOf(path);
    // An extension without a decoder is simply not decodable: the user sees the error text.
    const ImageFormat format = FormatForExtension(ExtensionOf(fileName));
    const auto opened = OpenForFacts(path);
    if (!opened) {
        // The file that failed is the one the user now sees named, with the error text; nothing
        // of the file shown before may stay in the title or the status bar.
        image_.Discard();
        image_.SetShown(false);
        ImageInfo unopened{path, std::string(fileName), 0, 0, static_cast<int>(format)};
        unopened.opened = false;
        image_.FillInfo(std::move(unopened));
        host_.RefreshTitle();
        host_.RefreshStatusTexts();
        host_.UpdateScrollSizes();
        host_.UpdateAllViews();
        return false;
    }
    // A user who moves on before the shown image was whole pages faster than images decode: a
    // preview would only be decoded to be thrown away, at the cost of the next image.
    const DecodeJob* shown = image_.Decode();
    const bool preview = shown == nullptr || shown->HasEnded();
    shownSettings_ = CurrentDecodeSettings();
    loader_.SetSettings(shownSettings_);
    std::shared_ptr<DecodeJob> decode = loader_.Take(path, format, preview);
    // A helper's bitmap comes whole when it answers, which may take seconds: the window never
    // waits for it. The image is loading until the decode's end settles it.
    const bool loading = decode->InHelper() && !decode->HasEnded();
    if (loading || decode->Progress().WaitForBitmap() != nullptr) {
        image_.SetShown(true);
        image_.InstallDecode(std::move(decode));
        loadingGeneration_ = loading ? image_.Generation() : 0;
    } else {
        const HelperFailure failure = decode->Failure();
        image_.SetShown(false);
        image_.Discard();
        image_.SetFailure(failure);
        host_.RefreshTitle();
        host_.RefreshStatusTexts();
        host_.UpdateScrollSizes();
        SelectCurrentRow();
        host_.UpdateAllViews();
    }
    image_.FillInfo(ImageInfo{path, std::string(fileName), opened->size, opened->modified,
                              static_cast<int>(format)});
    ApplyKeptTurn();
    host_.UpdateAllViews();
    host_.RefreshTitle();
    DecodeAhead();
    return true;
}

void CPirelaDoc::SetViewPlan(const ViewPlan& plan) {
    loader_.SetPlan(plan);
    image_.SetPlan(plan);
}

void CPirelaDoc::AdoptEarlyDecode(std::shared_ptr<DecodeJob> decode) {
    loader_.Adopt(std::move(decode));
}

void CPirelaDoc::OnDecodeEnded() {
    const DecodeJob* decode = image_.Decode();
    if (decode != nullptr && !decode->HasEnded()) {
        return; // an earlier image's decode: this one's end comes later
    }
    if (decode != nullptr && settledGeneration_ != image_.Generation()) {
        if (!image_.Shown()) {
            // The file broke off after its first rows were shown, or a helper gave nothing: from
            // now on it is the file that could not be decoded, exactly as if it had failed at once.
            const HelperFailure failure = image_.Failure();
            image_.Discard();
            image_.SetShown(false);
            image_.SetFailure(failure);
            ImageInfo failed = image_.Info();
            image_.FillInfo(std::move(failed));
            host_.RefreshTitle();
            host_.RefreshStatusTexts();
            host_.UpdateScrollSizes();
        } else if (loadingGeneration_ == image_.Generation()) {
            SettleLoadedImage();
        }
        settledGeneration_ = image_.Generation();
        ApplyAnimation();
        host_.UpdateAllViews(); // the whole bitmap, or the error text, replaces what was shown
    }
    if (aheadWanted_) {
        StartDecodeAhead();
    }
}

void CPirelaDoc::SettleLoadedImage() {
    // The helper's bitmap came: its size, and the turn kept from the image before.
    ImageInfo info = image_.Info();
    image_.FillInfo(std::move(info));
    ApplyKeptTurn();
    host_.RefreshTitle();
    host_.RefreshStatusTexts();
    host_.UpdateScrollSizes();
}

void CPirelaDoc::DecodeAhead() {
    aheadWanted_ = true;
    const DecodeJob* shown = image_.Decode();
    if (shown == nullptr || shown->HasEnded()) {
        // Not while the new image is still to be painted: the decode would take the processor
        // from the paint. The host runs OnDecodeEnded after the repaint already asked for.
        host_.PostDecodeEnded();
    }
    // Otherwise the image on screen comes first, and its decode's end starts this.
}

void CPirelaDoc::StartDecodeAhead() {
    aheadWanted_ = false;
    const int next = list_.Current() + direction_;
    if (list_.Current() < 0 || next < 0 || next >= list_.Count()) {
        loader_.DropAhead();
        return;
    }
    const std::string path = list_.ImagePath(next);
    loader_.SetSettings(CurrentDecodeSettings());
    loader_.DecodeAhead(path, FormatForExtension(ExtensionOf(FileNameOf(path))));
}

DecodeSettings CPirelaDoc::CurrentDecodeSettings() const {
    return DecodeSettings{options_.applyOrientation != 0, options_.colourProfile != 0};
}

void CPirelaDoc::ApplyKeptTurn() {
    if (options_.keepTurnState == 0) {
        image_.SetTurnState(0);
    } else if (image_.Loading()) {
        // The turn waits for the helper's bitmap: the decode's end applies it.
    } else if (image_.Shown()) {
        const int kept = image_.TurnState();
        image_.SetTurnState(0);
        ApplyTurn(kept);
    }
    // Kept and not decoded: the turn waits for the next image.
}

// --- The folder's list ---

void CPirelaDoc::ScanFolder() {
    const WaitCursor wait(host_);
    if (list_.Folder().empty()) {
        return;
    }
    list_.ClearFileList();
    StartListing();
    WaitForListing();
}

void CPirelaDoc::StartListing() {
    listing_.reset(); // a listing of the folder before stops
    const ScanOptions scan{options_.findSubfolder != 0, options_.findHidden == 1,
                           options_.findNewFormats != 0 ? FormatSet::All : FormatSet::Classic};
    DocumentHost& host = host_;
    listing_ = std::make_unique<FolderListing>(
        list_.Folder(), scan, ListOrderFromSetting(options_.sortOrder), *reader_,
        [&host] { host.PostListingChanged(); }, &takenCache_);
}

void CPirelaDoc::AwaitListing() {
    if (!listing_ || awaitingListing_) {
        return;
    }
    WaitForListing();
    ShowListArrived();
}

void CPirelaDoc::WaitForListing() {
    if (!listing_->Ended()) {
        awaitingListing_ = true;
        FolderListing& listing = *listing_;
        // The busy text goes to the status bar, and to the window of the wait that offers to
        // stop it, which stands where the busy window stood.
        host_.HideBusyWindow();
        std::string text = ListingBusyText(listing);
        host_.ShowStatusMessage(text);
        std::atomic<bool> stop{false};
        host_.RunFileWork(
            [&] {
                while (!listing.WaitFor(kListingPollTime)) {
                    if (stop) {
                        listing.Stop();
                    }
                    if (std::string now = ListingBusyText(listing); now != text) {
                        text = std::move(now);
                        host_.ShowProgress(text);
                    }
                }
            },
            stop);
        host_.RestoreStatusMessage();
        awaitingListing_ = false;
    }
    TakeListing();
}

void CPirelaDoc::OnListingChanged() {
    if (takenDates_ && !listing_) {
        TakeReadDates();
    }
    if (!listing_ || awaitingListing_) {
        return; // a listing since replaced, or one a wait takes in itself
    }
    if (!listing_->Ended()) {
        host_.ShowBusyText(ListingBusyText(*listing_));
        return;
    }
    TakeListing();
    ShowListArrived();
}

void CPirelaDoc::ShowListArrived() {
    SyncFileListWindow(list_.Current() >= 0 ? std::optional<std::string_view>(list_.CurrentName())
                                            : std::nullopt);
    host_.RefreshTitle();
    host_.RefreshStatusTexts();
    DecodeAhead(); // the neighbour is known now
}

void CPirelaDoc::TakeListing() {
    takenDates_.reset(); // those of the list before
    const std::unique_ptr<FolderListing> listing = std::move(listing_);
    const std::string current(list_.CurrentName());
    list_ = listing->TakeList();
    listOrder_ = listing->Order();
    if (!current.empty()) {
        const int index = list_.FindFileName(current);
        if (index >= 0) {
            list_.SetCurrent(index);
        } else {
            list_.SetCurrentUnlisted(current);
        }
    }
    // The options may have changed the order while the list was made.
    if (const ListOrder wanted = ListOrderFromSetting(options_.sortOrder); wanted != listOrder_) {
        SortKeepingCurrent(wanted);
    }
    StartReadingDates();
    host_.HideBusyWindow();
    if (listing->End() == ScanEnd::Full) {
        // The file list shows the list in hand before the message stands over it.
        SyncFileListWindow(std::nullopt);
        prompter_.ShowMessage(res::TooManyFilesMessage(FolderForSearch(list_.Folder()),
                                                       ImageFileList::kCapacity),
                              MessageIcon::Warning, MessageButtons::Ok);
    }
}

void CPirelaDoc::ApplyListOrder() {
    const ListOrder order = ListOrderFromSetting(options_.sortOrder);
    if (listing_ || order == listOrder_) {
        return; // a list still being made is sorted again when it is taken in
    }
    SortKeepingCurrent(order);
    takenDates_.reset();
    StartReadingDates();
    SyncFileListWindow(list_.Current() >= 0 ? std::optional<std::string_view>(list_.CurrentName())
                                            : std::nullopt);
    host_.RefreshStatusTexts();
    loader_.DropAhead();
    DecodeAhead();
}

void CPirelaDoc::StartReadingDates() {
    if (listOrder_ != ListOrder::DateTaken || list_.Count() == 0) {
        return;
    }
    DocumentHost& host = host_;
    takenDates_ = std::make_unique<TakenDates>(list_, takenCache_,
                                               [&host] { host.PostListingChanged(); });
}

void CPirelaDoc::TakeReadDates() {
    const bool ended = takenDates_->Ended();
    const std::vector<TakenDates::Date> dates = takenDates_->Take();
    if (ended) {
        takenDates_.reset();
    }
    if (dates.empty()) {
        return;
    }
    for (const TakenDates::Date& date : dates) {
        list_.SetTakenTime(date.id, date.seconds);
    }
    SortKeepingCurrent(ListOrder::DateTaken);
    // Quietly, without the busy window: this comes a few times a second while dates are read.
    if (host_.HasFileListWindow()) {
        host_.FillFileListWindow(list_, list_.Current(), FileListFolderLabel(list_.Folder()));
    }
    host_.RefreshStatusTexts();
    // The neighbours are others now.
    loader_.DropAhead();
    DecodeAhead();
}

void CPirelaDoc::SortKeepingCurrent(ListOrder order) {
    const int current = list_.Current();
    const bool listed = current >= 0 && current < list_.Count();
    const ImageFileList::EntryId id = listed ? list_.IdAt(current) : 0;
    list_.Sort(order);
    listOrder_ = order;
    if (listed) {
        list_.SetCurrent(list_.IndexOf(id));
    }
}

std::string CPirelaDoc::MoveTo(int index) {
    // The direction of travel picks the neighbour decoded ahead; a jump of several images
    // travels on in its own direction.
    if (index != list_.Current() && list_.Current() >= 0) {
        direction_ = index > list_.Current() ? 1 : -1;
    }
    list_.SetCurrent(index);
    return list_.CurrentImagePath();
}

std::string CPirelaDoc::NextImage() {
    AwaitListing();
    return list_.Current() < list_.Count() - 1 ? MoveTo(list_.Current() + 1) : std::string();
}

std::string CPirelaDoc::PrevImage() {
    AwaitListing();
    return list_.Current() > 0 ? MoveTo(list_.Current() - 1) : std::string();
}

std::string CPirelaDoc::FirstImage() {
    AwaitListing();
    if (list_.Current() == 0) {
        return {};
    }
    std::string path = MoveTo(0);
    direction_ = 1; // from the first image the only way is on
    return path;
}

std::string CPirelaDoc::LastImage() {
    AwaitListing();
    if (list_.Count() == 0 || list_.Current() == list_.Count() - 1) {
        return {};
    }
    std::string path = MoveTo(list_.Count() - 1);
    direction_ = -1;
    return path;
}

std::string CPirelaDoc::JumpImage(int delta) {
    AwaitListing();
    return CanJump(list_, delta) ? MoveTo(list_.Current() + delta) : std::string();
}

void CPirelaDoc::ShowListedImage(const std::string& path) {
    LoadImageFile(path);
    host_.RefreshTitle();
    host_.UpdateScrollSizes();
    host_.RefreshStatusTexts();
    SelectCurrentRow();
    host_.UpdateAllViews();
}

void CPirelaDoc::SelectCurrentRow() {
    if (host_.HasFileListWindow()) {
        host_.SelectFileListRow(list_.Current());
    }
}

void CPirelaDoc::ResetDocument() {
    listing_.reset();
    takenDates_.reset();
    list_.SetFolder({});
    image_.Discard();
    image_.SetShown(true);
    list_.ClearFileList();
    host_.ClearFileListWindow();
    host_.RefreshTitle();
    host_.RefreshStatusTexts();
    host_.UpdateScrollSizes();
    SyncFileListWindow(std::nullopt);
    host_.UpdateAllViews();
}

void CPirelaDoc::ClearImage() {
    image_.Discard();
    host_.SetFixedScrollSizes(kEmptyFolderScrollSize, kEmptyFolderScrollSize);
    host_.RefreshTitle();
    host_.RefreshStatusTexts();
    host_.UpdateAllViews();
}

void CPirelaDoc::RescanFolder() {
    if (list_.Folder().empty()) {
        return;
    }
    // A file shown outside the list is not looked for again: the rescan starts at the first. A
    // file our own rename gave a new name is looked for under that name.
    const std::optional<std::string> renamed = std::exchange(renamedCurrent_, std::nullopt);
    const std::string remembered = renamed ? ListNameOf(*renamed) : std::string(list_.Name(list_.Current()));
    // Whatever the folder holds now, its neighbours are looked at afresh.
    loader_.DropAhead();
    ScanFolder();
    SyncFileListWindow(remembered.empty() ? std::nullopt
                                          : std::optional<std::string_view>(remembered));
    if (remembered.empty()) {
        if (list_.Count() > 0) {
            LoadImageFile(MoveTo(0));
            host_.UpdateScrollSizes();
            host_.RefreshStatusTexts();
            host_.RefreshTitle();
        }
        return;
    }
    const int row = RowForName(list_, remembered);
    if (row < 0) {
        prompter_.ShowMessage(res::CurrentImageGoneMessage(remembered), MessageIcon::Information,
                              MessageButtons::Ok);
        if (list_.Count() > 0) {
            LoadImageFile(MoveTo(0));
        } else {
            MoveTo(0);
            ClearImage();
        }
        host_.UpdateScrollSizes();
        host_.RefreshTitle();
        host_.RefreshStatusTexts();
        return;
    }
    list_.SetCurrent(row);
    if (renamed) {
        image_.Rename(*renamed, std::string(FileNameOf(*renamed)));
    }
    host_.RefreshTitle();
    host_.RefreshStatusTexts();
    DecodeAhead(); // the neighbour may be another file now
}

void CPirelaDoc::SyncFileListWindow(std::optional<std::string_view> nameToSelect) {
    if (!host_.HasFileListWindow()) {
        return;
    }
    const WaitCursor wait(host_);
    host_.ShowBusyText(res::kBusyFillingFileList);
    int selected = list_.Count() > 0 ? 0 : -1;
    if (nameToSelect) {
        selected = RowForName(list_, *nameToSelect);
    }
    host_.FillFileListWindow(list_, selected, FileListFolderLabel(list_.Folder()));
    host_.HideBusyWindow();
}

// --- Turning ---

void CPirelaDoc::ApplyTurn(int direction) {
    const WaitCursor wait(host_);
    const Bitmap* pixels = direction != 0 ? image_.Pixels() : nullptr;
    if (pixels == nullptr) {
        return;
    }
    if (!CanTurn(pixels->BitCount())) {
        prompter_.ShowMessage(res::kMsgCannotTurnLowDepth, MessageIcon::Warning,
                              MessageButtons::Ok);
        image_.SetTurnState(0);
        return;
    }
    if (direction == kTurnHalf) {
        TurnQuarter(kTurnLeft);
        TurnQuarter(kTurnLeft);
    } else {
        TurnQuarter(direction);
    }
    host_.UpdateAllViews();
    host_.UpdateScrollSizes();
    host_.RefreshStatusTexts();
}

void CPirelaDoc::ResetTurn() {
    if (image_.TurnState() == 0) {
        return;
    }
    image_.SetTurnState(0);
    LoadImageFile(list_.CurrentImagePath());
    host_.UpdateScrollSizes();
}

void CPirelaDoc::TurnQuarter(int direction) {
    const Bitmap* pixels = image_.Pixels();
    if (pixels == nullptr) {
        return;
    }
    auto turned = TurnBitmapQuarter(*pixels, direction);
    if (!turned) {
        return;
    }
    image_.SetTurnState((image_.TurnState() + direction) % 4);
    image_.Install(std::move(turned));
}

} // namespace pirela
