#include "ui/CPirelaView.h"

#include "app/CPirelaDoc.h"
#include "common/PathRules.h"
#include "folder/Navigation.h"
#include "host/DocumentHost.h"
#include "image/Rotation.h"
#include "res/Messages.h"
#include "res/ResourceIds.h"
#include "sandbox/DecoderPool.h"
#include "ui/CBatchRenameDlg.h"
#include "ui/CFolderBrowser.h"
#include "ui/CMessagePrompter.h"
#include "ui/CommandTable.h"
#include "ui/DroppedPath.h"
#include "ui/OpenFileDialog.h"
#include "ui/QtText.h"
#include "ui/ResourceIcons.h"
#include "ui/SendCommands.h"
#include "view/StatusTexts.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>

namespace pirela {

namespace {

// The scroll extent without an image.
constexpr PixelSize kNoImageScrollSize{10, 10};

constexpr int kErrorTextLeft = 5;
constexpr int kErrorLineTops[] = {5, 20};

// The error text's second line: why the file shows no picture.
std::string LoadErrorReason(HelperFailure failure) {
    switch (failure) {
    case HelperFailure::Missing:
        return res::DecoderMissingLine(DecoderPool::Shared().Program());
    case HelperFailure::Stopped:
        return res::kDecoderStoppedLine;
    case HelperFailure::TooSlow:
        return res::kDecodeTooSlowLine;
    default:
        return res::kLoadErrorSecondLine;
    }
}

QColor ColourOf(int bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

constexpr int kZoomChoices = 1;
const struct {
    int command;
    float rate;
} kZoomCommands[] = {
    {res::kCmdZoom25, 25},   {res::kCmdZoom50, 50},   {res::kCmdZoom100, 100},
    {res::kCmdZoom200, 200}, {res::kCmdZoom400, 400}, {res::kCmdZoomFit, kRateFit},
    {res::kCmdZoomShrink, kRateShrink},
};

const struct {
    int command;
    ScrollKey key;
} kScrollCommands[] = {
    {res::kCmdScrollUp, ScrollKey::Up},
    {res::kCmdScrollDown, ScrollKey::Down},
    {res::kCmdScrollLeft, ScrollKey::Left},
    {res::kCmdScrollRight, ScrollKey::Right},
};

} // namespace

CPirelaView::CPirelaView(CPirelaDoc& doc, AppSettings& settings, DocumentHost& host,
                         QWidget* parent)
    : QAbstractScrollArea(parent), doc_(doc), settings_(settings), host_(host),
      painter_(doc.Image()) {
    setFrameShape(QFrame::NoFrame);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(false);
    // Every paint covers the whole viewport, so Qt need not erase it first; and a paint that
    // paints nothing leaves the last picture where it was.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    lastPictureTimer_.setSingleShot(true);
    connect(&lastPictureTimer_, &QTimer::timeout, viewport(), [this] { viewport()->update(); });
    if (settings_.options.rate <= 0) {
        lastFitRate_ = settings_.options.rate;
    }
    animationTimer_.setSingleShot(true);
    animationTimer_.setTimerType(Qt::PreciseTimer);
    connect(&animationTimer_, &QTimer::timeout, this, [this] { ShowNextFrame(); });
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    UpdateScrollBars();
}

void CPirelaView::RegisterCommands(CommandTable& commands) {
    commands.Add(res::kCmdFileOpen, [this] { OnFileOpen(); });
    commands.Add(res::kCmdOpenFolder, [this] { OnOpenFolder(); });
    commands.Add(res::kCmdRefresh, [this] { OnRefresh(); },
                 [this] { return doc_.FileList().HasCurrentImage(); });
    RegisterZoomCommands(commands);
    for (const auto& scroll : kScrollCommands) {
        const ScrollKey key = scroll.key;
        commands.Add(scroll.command, [this, key] { OnScrollKey(key); });
    }
    RegisterNavigationCommands(commands);
    RegisterTurnCommands(commands);
    commands.Add(res::kCmdBatchRename, [this] { OnBatchRename(); });
    RegisterSendCommands(commands, doc_);
}

void CPirelaView::RegisterZoomCommands(CommandTable& commands) {
    for (const auto& zoom : kZoomCommands) {
        const float rate = zoom.rate;
        commands.Add(zoom.command, [this, rate] { OnZoom(rate); }, [this] { return HasImage(); },
                     [this, rate] { return settings_.options.rate == rate; });
        commands.SetChoiceGroup(zoom.command, kZoomChoices);
    }
    for (const bool larger : {true, false}) {
        commands.Add(larger ? res::kCmdZoomIn : res::kCmdZoomOut,
                     [this, larger] {
                         if (const std::optional<float> rate = NextZoom(larger)) {
                             OnZoom(*rate);
                         }
                     },
                     [this, larger] { return NextZoom(larger).has_value(); });
    }
    commands.Add(res::kCmdZoomToggle, [this] { OnZoomToggle(); }, [this] { return HasImage(); });
}

void CPirelaView::RegisterNavigationCommands(CommandTable& commands) {
    const ImageFileList& list = doc_.FileList();
    const auto show = [this](const std::string& path) {
        if (!path.empty()) {
            doc_.ShowListedImage(path);
        }
    };
    // While the folder is being listed these wait for the list, so they stay enabled.
    const auto listing = [this] { return doc_.ListingPending(); };
    commands.Add(res::kCmdNext, [this, show] { show(doc_.NextImage()); },
                 [&list, listing] { return listing() || CanGoForward(list); });
    commands.Add(res::kCmdLast, [this, show] { show(doc_.LastImage()); },
                 [&list, listing] { return listing() || CanGoForward(list); });
    commands.Add(res::kCmdPrevious, [this, show] { show(doc_.PrevImage()); },
                 [&list, listing] { return listing() || CanGoBack(list); });
    commands.Add(res::kCmdFirst, [this, show] { show(doc_.FirstImage()); },
                 [&list, listing] { return listing() || CanGoBack(list); });
    for (const auto& [command, delta] : {std::pair{res::kCmdBack10, -10}, {res::kCmdBack100, -100},
                                        {res::kCmdForward10, 10}, {res::kCmdForward100, 100}}) {
        const int jump = delta;
        commands.Add(command, [this, show, jump] { show(doc_.JumpImage(jump)); },
                     [&list, listing, jump] { return listing() || CanJump(list, jump); });
    }
    const auto folderOpen = [&list] { return !list.Folder().empty(); };
    commands.Add(res::kCmdFileClose, [this] {
        doc_.ResetDocument();
        host_.RefreshSendBar();
    }, folderOpen);
    commands.Add(res::kCmdResearch, [this] { doc_.RescanFolder(); }, folderOpen);
}

void CPirelaView::RegisterTurnCommands(CommandTable& commands) {
    const auto shown = [this] { return HasImage(); };
    commands.Add(res::kCmdTurnLeft, [this] { doc_.ApplyTurn(kTurnLeft); }, shown);
    commands.Add(res::kCmdTurnRight, [this] { doc_.ApplyTurn(kTurnRight); }, shown);
    commands.Add(res::kCmdTurnHalf, [this] { doc_.ApplyTurn(kTurnHalf); }, shown);
    commands.Add(res::kCmdTurnReset, [this] { doc_.ResetTurn(); }, shown);
    commands.Add(
        res::kCmdKeepTurn,
        [this] { settings_.options.keepTurnState = settings_.options.keepTurnState == 0 ? 1 : 0; },
        {}, [this] { return settings_.options.keepTurnState == 1; });
}

bool CPirelaView::HasImage() const {
    return doc_.Image().HasBitmap();
}

PixelSize CPirelaView::ClientSize() const {
    return {viewport()->width(), viewport()->height()};
}

PixelSize CPirelaView::DrawSize() const {
    const ImageInfo& info = doc_.Image().Info();
    const Bitmap* bitmap = doc_.Image().PixelsSoFar();
    const PixelSize bitmapSize = bitmap ? PixelSize{bitmap->Width(), bitmap->Height()} : PixelSize{};
    if (!bitmap) {
        return {};
    }
    return ComputeDrawSize({{info.width, info.height},
                            doc_.TurnState(),
                            settings_.options.rate,
                            ClientSize(),
                            &bitmapSize});
}

// --- Scrolling ---

void CPirelaView::UpdateScrollSizes() {
    SetScrollSizes(HasImage() ? DrawSize() : kNoImageScrollSize);
}

void CPirelaView::SetScrollSizes(PixelSize size) {
    scrollSize_ = size;
    UpdateScrollBars();
    viewport()->update();
}

void CPirelaView::UpdateScrollBars() {
    const PixelSize client = ClientSize();
    QScrollBar* horizontal = horizontalScrollBar();
    QScrollBar* vertical = verticalScrollBar();
    horizontal->setRange(0, std::max(0, scrollSize_.width - client.width));
    vertical->setRange(0, std::max(0, scrollSize_.height - client.height));
    horizontal->setPageStep(std::max(1, client.width));
    vertical->setPageStep(std::max(1, client.height));
    horizontal->setSingleStep(std::max(1, scrollSize_.width / 100));
    vertical->setSingleStep(std::max(1, scrollSize_.height / 100));
}

ScrollPoint CPirelaView::ScrollPosition() const {
    return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

void CPirelaView::ScrollTo(ScrollPoint position) {
    horizontalScrollBar()->setValue(position.x); // the scroll bar holds it within its range
    verticalScrollBar()->setValue(position.y);
}

void CPirelaView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    // In the fit modes the draw size, and with it the zoom pane, follows the view's size,
    // whether the window changed or a bar beside the view was shown or hidden.
    if (settings_.options.rate <= 0 && HasImage()) {
        UpdateScrollSizes();
        host_.RefreshStatusTexts();
    } else {
        UpdateScrollBars();
    }
}

void CPirelaView::scrollContentsBy(int, int) {
    viewport()->update();
}

void CPirelaView::OnScrollKey(ScrollKey key) {
    ScrollTo(KeyScrollTarget(ScrollPosition(), ClientSize(), DrawSize(), key));
}

void CPirelaView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragging_ = true;
        if (HasImage()) {
            viewport()->setCursor(DragCursor());
            const ScrollPoint scroll = ScrollPosition();
            dragAnchor_ = {event->pos().x() + scroll.x, event->pos().y() + scroll.y};
            pressClient_ = ClientSize();
        }
    }
    QAbstractScrollArea::mousePressEvent(event);
}

void CPirelaView::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_ && HasImage()) {
        const PixelSize draw = DrawSize();
        const PixelSize client = ClientSize();
        if (draw.width > client.width || draw.height > client.height) {
            ScrollTo(DragScrollTarget(dragAnchor_, {event->pos().x(), event->pos().y()},
                                      pressClient_, draw));
        }
    }
    QAbstractScrollArea::mouseMoveEvent(event);
}

void CPirelaView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragging_ = false;
        viewport()->unsetCursor();
    }
    QAbstractScrollArea::mouseReleaseEvent(event);
}

void CPirelaView::wheelEvent(QWheelEvent* event) {
    if (event->modifiers().testFlag(Qt::ControlModifier)) {
        ZoomByWheel(*event);
        event->accept();
        return;
    }
    if (DrawSize().height > ClientSize().height) {
        // The animated part: 12-pixel steps, each one painted, toward twice the wheel's turn.
        const ScrollPoint start = ScrollPosition();
        for (int y : WheelSteps(start.y, event->angleDelta().y())) {
            ScrollTo({start.x, y});
            viewport()->repaint();
        }
    }
    QAbstractScrollArea::wheelEvent(event);
}

// --- Painting ---

ViewPlan CPirelaView::Plan() const {
    // The next image keeps the turn only when the user asked for that.
    const int nextTurn = settings_.options.keepTurnState != 0 ? doc_.TurnState() : 0;
    return {settings_.options.rate, nextTurn, ClientSize()};
}

bool CPirelaView::Centred() const {
    return settings_.options.centreImage != 0;
}

void CPirelaView::paintEvent(QPaintEvent*) {
    // Whatever changed the draw size repaints, so the decodes learn of it here.
    doc_.SetViewPlan(Plan());
    // A surface whose memory cannot be had leaves the image unshowable: the user is told as
    // for a file that cannot be decoded, and the program goes on.
    // While a helper decodes, nothing of the image is there: the last picture stays a moment.
    const bool image = doc_.Image().Shown() &&
                       (doc_.Image().Loading() || (HasImage() && painter_.HasSurface()));
    if (image) {
        // The painter places the picture by a scroll position: one that puts it at its origin.
        const PixelSize draw = DrawSize();
        const ScrollPoint origin = PictureOrigin(ClientSize(), draw, ScrollPosition(), Centred());
        const ImagePainter::Frame frame{draw, {-origin.x, -origin.y}, viewport()->rect()};
        // Painting nothing leaves the last picture on screen (the viewport paints opaquely).
        if (const int keep = painter_.MsToKeepLastPicture(frame); keep > 0) {
            lastPictureTimer_.start(keep);
            return;
        }
        QPainter painter(viewport());
        PaintBackground(painter);
        painter_.Paint(painter, frame);
        const AnimationJob* animation = doc_.Image().Animation();
        shownFrame_ = animation != nullptr ? animation->FrameNumber() : 1;
        ScheduleNextFrame();
        return;
    }
    animationTimer_.stop();
    QPainter painter(viewport());
    PaintBackground(painter);
    painter_.PaintedNoImage();
    if (!doc_.Image().Shown() || HasImage()) {
        DrawLoadError(painter);
    }
}

bool CPirelaView::Animating() const {
    // A timer left from an animation paged away only finds that nothing plays any more.
    return animationTimer_.isActive() && doc_.Image().Animation() != nullptr;
}

void CPirelaView::ScheduleNextFrame() {
    const AnimationJob* animation = doc_.Image().Animation();
    const auto due = animation != nullptr ? animation->NextDue() : std::nullopt;
    if (!due) {
        // Not yet decoded (the worker has the view repaint when it is), or no more to come.
        animationTimer_.stop();
        return;
    }
    const auto wait =
        std::chrono::ceil<std::chrono::milliseconds>(*due - AnimationJob::Clock::now());
    animationTimer_.start(std::max<int>(0, static_cast<int>(wait.count())));
}

void CPirelaView::ShowNextFrame() {
    AnimationJob* animation = doc_.Image().Animation();
    if (animation != nullptr && animation->Advance(AnimationJob::Clock::now())) {
        viewport()->update(); // the paint schedules the frame after it
        return;
    }
    ScheduleNextFrame();
}

void CPirelaView::PaintBackground(QPainter& painter) {
    // The viewport is all that is ever painted, so filling it leaves no unpainted strip
    // however far the image is scrolled.
    const QColor background = settings_.options.bgColorType != 0
                                  ? ColourOf(settings_.options.bgColor)
                                  : palette().color(QPalette::Base);
    painter.fillRect(viewport()->rect(), background);
}

void CPirelaView::DrawLoadError(QPainter& painter) {
    const std::string path = doc_.FileList().CurrentImagePath();
    const QString lines[] = {ToQString(res::LoadErrorFirstLine(path)),
                             ToQString(LoadErrorReason(doc_.Image().Failure()))};
    QFont font = QApplication::font();
    font.setWeight(QFont::Black);
    painter.save();
    painter.setFont(font);
    const int ascent = painter.fontMetrics().ascent();
    const ScrollPoint scroll = ScrollPosition();
    const bool ownBackground = settings_.options.bgColorType != 0;
    for (int i = 0; i < 2; ++i) {
        const QPoint at(kErrorTextLeft - scroll.x, kErrorLineTops[i] + ascent - scroll.y);
        if (ownBackground) {
            painter.setPen(Qt::black);
            painter.drawText(at + QPoint(1, 1), lines[i]); // the shadow
        }
        painter.setPen(ownBackground ? Qt::white : Qt::black);
        painter.drawText(at, lines[i]);
    }
    painter.restore();
}

// --- Commands ---

void CPirelaView::OnZoom(float rate) {
    ZoomAt(rate, MiddleOfView());
}

ScrollPoint CPirelaView::MiddleOfView() const {
    const PixelSize client = ClientSize();
    return {client.width / 2, client.height / 2};
}

void CPirelaView::ZoomAt(float rate, ScrollPoint anchor) {
    const PixelSize oldDraw = DrawSize();
    const ScrollPoint oldScroll = ScrollPosition();
    if (rate <= 0) {
        lastFitRate_ = rate;
    }
    settings_.options.rate = rate;
    UpdateScrollSizes();
    // The scroll bars may have come or gone with the new size, and the view with them.
    ScrollTo(ZoomScrollTarget(ClientSize(), oldDraw, oldScroll, DrawSize(), anchor, Centred()));
    host_.RefreshStatusTexts();
    viewport()->update();
}

std::optional<float> CPirelaView::NextZoom(bool larger) const {
    if (!HasImage()) {
        return std::nullopt;
    }
    const double shown = ShownZoomPercent(doc_.Image().Info(), doc_.TurnState(),
                                          settings_.options.rate, DrawSize());
    return NextFixedRate(shown, larger);
}

void CPirelaView::OnZoomToggle() {
    OnZoom(settings_.options.rate == 100 ? lastFitRate_ : 100);
}

void CPirelaView::ZoomByWheel(const QWheelEvent& event) {
    constexpr int kNotch = 120;
    wheelZoomTurn_ += event.angleDelta().y();
    const ScrollPoint pointer{static_cast<int>(event.position().x()),
                              static_cast<int>(event.position().y())};
    // A fine-grained wheel (a touchpad) zooms once its turns add up to a notch.
    while (std::abs(wheelZoomTurn_) >= kNotch) {
        const bool larger = wheelZoomTurn_ > 0;
        wheelZoomTurn_ -= larger ? kNotch : -kNotch;
        const std::optional<float> rate = NextZoom(larger);
        if (!rate) {
            wheelZoomTurn_ = 0;
            return;
        }
        ZoomAt(*rate, pointer);
    }
}

void CPirelaView::RefreshAfterOpen() {
    host_.RefreshTitle();
    host_.RefreshStatusTexts();
    UpdateScrollSizes();
}

void CPirelaView::OnFileOpen() {
    // The open folder first: the file wanted is most often beside the one shown.
    const std::string& openFolder = doc_.FileList().Folder();
    const auto path =
        AskForImageFile(this, ToQString(openFolder.empty() ? settings_.lastOpen : openFolder));
    if (!path) {
        return;
    }
    const std::string chosen = ToUtf8(*path);
    doc_.OpenImageFile(chosen);
    settings_.lastOpen = FolderOf(chosen);
    RefreshAfterOpen();
    doc_.SyncFileListWindow(doc_.FileList().CurrentName());
    host_.RefreshSendBar();
}

void CPirelaView::OnOpenFolder() {
    CFolderBrowser browser(true, settings_.options.findSubfolder == 1);
    // The open folder first, as for opening a file: the next folder is most often beside it.
    const std::string& openFolder = doc_.FileList().Folder();
    QString folder = ToQString(openFolder.empty() ? settings_.lastSelectFolder : openFolder);
    if (!browser.Browse(folder, QStringLiteral("開くフォルダを選択してください。"))) {
        return;
    }
    settings_.options.findSubfolder = browser.CheckBoxState() ? 1 : 0;
    settings_.lastSelectFolder = ToUtf8(folder);
    OpenFolder(settings_.lastSelectFolder);
}

void CPirelaView::OpenFolder(const std::string& folder) {
    doc_.OpenImageFolder(folder);
    UpdateScrollSizes();
    doc_.SyncFileListWindow(std::nullopt);
    host_.RefreshStatusTexts();
    host_.RefreshTitle();
    host_.RefreshSendBar();
    viewport()->update();
}

void CPirelaView::OnRefresh() {
    doc_.Refresh();
}

void CPirelaView::OnBatchRename() {
    doc_.AwaitRecovery();
    // The dialog's questions and reports stand over the dialog itself.
    CMessagePrompter prompter;
    CBatchRenameDlg dialog(doc_, prompter, host_, window());
    prompter.SetOwner(&dialog);
    dialog.exec();
    if (dialog.RenameDone()) {
        doc_.RescanFolder();
    }
}

void CPirelaView::OpenDropped(const std::string& path) {
    if (!doc_.FileList().Folder().empty()) {
        doc_.ResetDocument();
    }
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        doc_.OpenImageFolder(path);
        settings_.lastSelectFolder = path;
    } else {
        doc_.OpenImageFile(path);
        settings_.lastSelectFolder = FolderOf(path);
    }
    RefreshAfterOpen();
    doc_.SyncFileListWindow(doc_.FileList().CurrentName());
    host_.RefreshSendBar();
    viewport()->update();
}

// --- Drops and the context menu ---

void CPirelaView::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData() != nullptr && FirstLocalPath(*event->mimeData())) {
        event->acceptProposedAction();
    }
}

void CPirelaView::dropEvent(QDropEvent* event) {
    const std::optional<std::string> path =
        event->mimeData() != nullptr ? FirstLocalPath(*event->mimeData()) : std::nullopt;
    if (!path || host_.FileWorkRunning()) {
        return; // nothing else opens while file work runs
    }
    event->acceptProposedAction();
    OpenDropped(*path);
}

void CPirelaView::contextMenuEvent(QContextMenuEvent* event) {
    if (contextMenu_ != nullptr) {
        contextMenu_->exec(event->globalPos());
    }
}

} // namespace pirela
