// mirror.cpp: a top-level window of the stand-in as Qt widgets (see mirror.h).
#include "display/mirror.h"

#include "display/charformat.h"
#include "display/textmap.h"
#include "display/textview.h"

#include <commctrl.h>
#include <richedit.h>

#include <w32/shell.h>
#include <w32/user.h>

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>

#include <strings.h>

#include <cstring>

#include <optional>
#include <vector>

namespace w32 {

namespace {

constexpr int kFrameMs = 30;
constexpr int kDialogFontPixels = 10;

enum class Kind { PushButton, RadioButton, CheckBox, GroupBox, LineEdit, TextBox, StatusBar, Other };

Kind KindOf(const std::string &className, DWORD style)
{
    if (strcasecmp(className.c_str(), "button") == 0) {
        switch (style & BS_TYPEMASK) {
        case BS_GROUPBOX:
            return Kind::GroupBox;
        case BS_AUTORADIOBUTTON:
        case BS_RADIOBUTTON:
            return Kind::RadioButton;
        case BS_AUTOCHECKBOX:
        case BS_CHECKBOX:
            return Kind::CheckBox;
        default:
            return Kind::PushButton;
        }
    }
    if (strcasecmp(className.c_str(), "edit") == 0)
        return (style & ES_MULTILINE) ? Kind::TextBox : Kind::LineEdit;
    if (strcasecmp(className.c_str(), RICHEDIT_CLASSA) == 0)
        return Kind::TextBox;
    if (strcasecmp(className.c_str(), STATUSCLASSNAMEA) == 0)
        return Kind::StatusBar;
    return Kind::Other;
}

// The frame a top-level window's style asks for: a title bar with the boxes
// the style names, and a fixed size unless it has a sizing border. Qt passes
// these on to the window manager (size and Motif hints).
Qt::WindowFlags FrameFlags(DWORD style)
{
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint;
    if ((style & WS_CAPTION) == WS_CAPTION)
        flags |= Qt::WindowTitleHint;
    if (style & WS_SYSMENU)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (style & WS_MINIMIZEBOX)
        flags |= Qt::WindowMinimizeButtonHint;
    if (style & WS_MAXIMIZEBOX)
        flags |= Qt::WindowMaximizeButtonHint;
    if (!(style & WS_THICKFRAME))
        flags |= Qt::MSWindowsFixedSizeDialogHint;
    return flags;
}

bool IsTextKind(Kind kind)
{
    return kind == Kind::LineEdit || kind == Kind::TextBox;
}

std::string WindowText(HWND hwnd)
{
    std::string text(static_cast<size_t>(SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
    text.resize(static_cast<size_t>(SendMessageA(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

// A key as the platform names it, and the character it types, if any.
struct KeyInfo {
    WPARAM vk = 0;
    char typed = 0;
};

bool MapKey(int key, KeyInfo *info)
{
    if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        *info = {static_cast<WPARAM>('A' + (key - Qt::Key_A)), 0};
        return true;
    }
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab: *info = {VK_TAB, 0}; return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: *info = {VK_RETURN, '\r'}; return true;
    case Qt::Key_Escape: *info = {VK_ESCAPE, 0}; return true;
    case Qt::Key_Space: *info = {VK_SPACE, ' '}; return true;
    case Qt::Key_Backspace: *info = {VK_BACK, '\b'}; return true;
    case Qt::Key_Delete: *info = {VK_DELETE, 0}; return true;
    case Qt::Key_Home: *info = {VK_HOME, 0}; return true;
    case Qt::Key_End: *info = {VK_END, 0}; return true;
    case Qt::Key_Left: *info = {VK_LEFT, 0}; return true;
    case Qt::Key_Right: *info = {VK_RIGHT, 0}; return true;
    case Qt::Key_Up: *info = {VK_UP, 0}; return true;
    case Qt::Key_Down: *info = {VK_DOWN, 0}; return true;
    case Qt::Key_F4: *info = {VK_F4, 0}; return true;
    default: return false;
    }
}

constexpr Qt::KeyboardModifiers kModifierKeys = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;

}  // namespace

struct WindowMirror::Control {
    HWND hwnd = nullptr;
    Kind kind = Kind::Other;
    int id = 0;
    QPointer<QWidget> widget;
    std::vector<QLabel *> parts;  // a status bar's parts
    uint64_t version = ~uint64_t{0};
    // Text boxes: what the widget shows of the control's text.
    uint64_t resets = ~uint64_t{0};
    size_t shownBytes = 0;
    size_t anchor = 0, caret = 0;
    int displayAnchor = 0, displayCaret = 0;
    std::optional<CHARFORMATA> format;  // a rich edit box's, as last shown
    // Where a drag in a text box started; shared with the calls it posts.
    std::shared_ptr<size_t> dragAnchor = std::make_shared<size_t>(0);
};

struct WindowMirror::Snapshot {
    WindowDescription description;
    std::string text;       // a control's title; a text box's new bytes
    bool replaceText = false;
    UINT check = 0;
    int displayAnchor = -1, displayCaret = -1;  // -1: the end
    std::vector<int> edges;
    std::vector<std::string> partTexts;
    std::optional<CHARFORMATA> format;  // a rich edit box's default character format
};

WindowMirror::WindowMirror(HWND topLevel) : topLevel_(topLevel)
{
    WindowDescription description;
    DescribeWindow(topLevel_, &description);
    window_ = new QWidget(nullptr, FrameFlags(description.style));
    QFont font = window_->font();
    font.setPixelSize(kDialogFontPixels);
    window_->setFont(font);
    window_->installEventFilter(this);
    window_->setFocusPolicy(Qt::StrongFocus);
    byWidget_[window_] = topLevel_;
    connect(&frame_, &QTimer::timeout, this, [this] { Sync(); });
    frame_.start(kFrameMs);
    Sync();
}

WindowMirror::~WindowMirror()
{
    frame_.stop();
    delete window_;
}

WindowMirror::Control *WindowMirror::Make(HWND hwnd, const std::string &className, DWORD style, int id)
{
    auto control = std::make_unique<Control>();
    control->hwnd = hwnd;
    control->kind = KindOf(className, style);
    control->id = id;
    QWidget *widget = nullptr;
    switch (control->kind) {
    case Kind::PushButton:
        widget = new QPushButton(window_);
        break;
    case Kind::RadioButton: {
        auto *radio = new QRadioButton(window_);
        radio->setAutoExclusive(false);  // the controls decide what is checked
        widget = radio;
        break;
    }
    case Kind::CheckBox:
        widget = new QCheckBox(window_);
        break;
    case Kind::GroupBox:
        widget = new QGroupBox(window_);
        break;
    case Kind::LineEdit: {
        auto *line = new QLineEdit(window_);
        line->setReadOnly(true);  // typing reaches the control, not the widget
        widget = line;
        break;
    }
    case Kind::TextBox: {
        auto *box = new TextView(hwnd, !(style & ES_AUTOHSCROLL), window_);
        box->setVerticalScrollBarPolicy((style & WS_VSCROLL) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
        box->viewport()->installEventFilter(this);
        box->viewport()->setAcceptDrops(false);
        byWidget_[box->viewport()] = hwnd;
        widget = box;
        break;
    }
    case Kind::StatusBar: {
        auto *bar = new QWidget(window_);
        bar->setLayout(new QHBoxLayout);
        bar->layout()->setContentsMargins(2, 2, 2, 2);
        bar->layout()->setSpacing(2);
        widget = bar;
        break;
    }
    case Kind::Other:
        widget = new QWidget(window_);
        break;
    }
    widget->setObjectName(QString::number(id));
    widget->setAcceptDrops(false);  // files go to the window as a whole
    if (control->kind == Kind::GroupBox || control->kind == Kind::StatusBar || control->kind == Kind::Other)
        widget->setFocusPolicy(Qt::NoFocus);
    widget->installEventFilter(this);
    byWidget_[widget] = hwnd;
    control->widget = widget;
    Control *result = control.get();
    controls_[hwnd] = std::move(control);
    return result;
}

// Under the owner's lock: what changed since the last frame, copied out so
// that the widgets are updated after the lock is given back.
void WindowMirror::Collect(std::map<HWND, Snapshot> *snapshots)
{
    if (!IsWindow(topLevel_))
        return;
    if (WindowVersion(topLevel_) != topVersion_) {
        topVersion_ = WindowVersion(topLevel_);
        Snapshot &top = (*snapshots)[topLevel_];
        DescribeWindow(topLevel_, &top.description);
        top.text = WindowText(topLevel_);
        RECT client;
        GetClientRect(topLevel_, &client);
        top.edges = {client.right, client.bottom};
    }
    for (HWND child : ChildWindows(topLevel_)) {
        auto found = controls_.find(child);
        Control *control = found != controls_.end() ? found->second.get() : nullptr;
        if (control == nullptr) {
            WindowDescription description;
            DescribeWindow(child, &description);
            control = Make(child, description.className, description.style, description.id);
        }
        const uint64_t version = WindowVersion(child);
        if (version == control->version)
            continue;
        control->version = version;
        Snapshot &snapshot = (*snapshots)[child];
        DescribeWindow(child, &snapshot.description);
        switch (control->kind) {
        case Kind::TextBox: {
            TextBoxView view;
            if (ViewTextBox(child, &view))
                static_cast<TextView *>(control->widget.data())->Update(view);
            // The format is shown when it changes, not with every new line.
            const CHARFORMATA *format = DefaultCharFormat(child);
            if (format != nullptr && (!control->format || memcmp(&*control->format, format, sizeof(*format)) != 0))
                snapshot.format = control->format = *format;
            break;
        }
        case Kind::LineEdit: {
            TextBoxView view;
            if (!ViewTextBox(child, &view))
                break;
            const std::string_view text = view.text;
            if (view.resets != control->resets || text.size() < control->shownBytes) {
                snapshot.replaceText = true;
                control->resets = view.resets;
                control->shownBytes = 0;
            }
            const std::string_view tail = std::string_view(text).substr(control->shownBytes);
            const size_t complete = CompletePrefix(tail);
            snapshot.text.assign(tail.substr(0, complete));
            control->shownBytes += complete;
            // Positions are mapped only when they move, and the common case,
            // the caret at the end of a growing listing, needs no mapping.
            if (view.anchor != control->anchor || view.caret != control->caret || snapshot.replaceText) {
                control->anchor = view.anchor;
                control->caret = view.caret;
                const bool atEnd = view.anchor == text.size() && view.caret == text.size();
                control->displayAnchor = atEnd ? -1 : DisplayIndexOf(text, view.anchor);
                control->displayCaret = atEnd ? -1 : DisplayIndexOf(text, view.caret);
            }
            snapshot.displayAnchor = control->displayAnchor;
            snapshot.displayCaret = control->displayCaret;
            break;
        }
        case Kind::StatusBar: {
            int edges[256];
            const int count = static_cast<int>(SendMessageA(child, SB_GETPARTS, 256, reinterpret_cast<LPARAM>(edges)));
            snapshot.edges.assign(edges, edges + count);
            for (int part = 0; part < count; part++) {
                std::string text(LOWORD(SendMessageA(child, SB_GETTEXTLENGTHA, part, 0)) + 1, '\0');
                SendMessageA(child, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(text.data()));
                text.pop_back();
                snapshot.partTexts.push_back(text);
            }
            break;
        }
        default:
            snapshot.text = WindowText(child);
            snapshot.check = static_cast<UINT>(SendMessageA(child, BM_GETCHECK, 0, 0));
            break;
        }
    }
}

void WindowMirror::Apply(Control &control, const Snapshot &s)
{
    QWidget *widget = control.widget;
    if (widget == nullptr)
        return;
    const RECT &r = s.description.rect;
    widget->setGeometry(r.left, r.top, r.right - r.left, r.bottom - r.top);
    widget->setEnabled(!(s.description.style & WS_DISABLED));
    widget->setVisible((s.description.style & WS_VISIBLE) != 0);
    switch (control.kind) {
    case Kind::PushButton:
    case Kind::RadioButton:
    case Kind::CheckBox: {
        auto *button = static_cast<QAbstractButton *>(widget);
        button->setText(BytesToDisplay(s.text));
        if (control.kind != Kind::PushButton) {
            button->setCheckable(true);
            button->setChecked(s.check == BST_CHECKED);
        }
        break;
    }
    case Kind::GroupBox:
        static_cast<QGroupBox *>(widget)->setTitle(BytesToDisplay(s.text));
        break;
    case Kind::LineEdit: {
        auto *line = static_cast<QLineEdit *>(widget);
        if (s.replaceText)
            line->setText(BytesToDisplay(s.text));
        else if (!s.text.empty())
            line->setText(line->text() + BytesToDisplay(s.text));
        const int end = static_cast<int>(line->text().size());
        const int anchor = s.displayAnchor < 0 ? end : s.displayAnchor;
        const int caret = s.displayCaret < 0 ? end : s.displayCaret;
        line->setSelection(anchor, caret - anchor);
        break;
    }
    case Kind::TextBox:
        if (s.format) {
            widget->setFont(FontOfCharFormat(*s.format, window_->font()));
            QPalette palette = widget->palette();
            for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
                palette.setColor(group, QPalette::Text,
                                 ColourOfCharFormat(*s.format, window_->palette().color(group, QPalette::Text)));
            widget->setPalette(palette);
        }
        static_cast<TextView *>(widget)->Refresh();
        break;
    case Kind::StatusBar: {
        QLayout *layout = widget->layout();
        while (control.parts.size() < s.partTexts.size()) {
            auto *label = new QLabel(widget);
            label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            layout->addWidget(label);
            control.parts.push_back(label);
        }
        int left = 0;
        for (size_t i = 0; i < control.parts.size(); i++) {
            QLabel *label = control.parts[i];
            label->setVisible(i < s.partTexts.size());
            if (i >= s.partTexts.size())
                continue;
            label->setText(BytesToDisplay(s.partTexts[i]));
            const int right = s.edges[i] < 0 ? -1 : s.edges[i];
            if (right < 0) {
                label->setMinimumWidth(0);
                label->setMaximumWidth(QWIDGETSIZE_MAX);
            } else {
                label->setFixedWidth(std::max(0, right - left - 2));
                left = right;
            }
        }
        break;
    }
    case Kind::Other:
        break;
    }
}

void WindowMirror::Sync()
{
    std::map<HWND, Snapshot> snapshots;
    HWND focus = nullptr;
    bool alive = false;
    WithOwnLock([&] {
        alive = IsWindow(topLevel_);
        if (!alive)
            return;
        Collect(&snapshots);
        focus = GetFocus();
    });
    if (!alive || window_ == nullptr)
        return;

    auto top = snapshots.find(topLevel_);
    if (top != snapshots.end()) {
        const Snapshot &s = top->second;
        window_->setWindowTitle(BytesToDisplay(s.text));
        window_->setFixedSize(s.edges[0], s.edges[1]);
        if (!window_->isVisible() || window_->pos() != QPoint(s.description.rect.left, s.description.rect.top))
            window_->move(s.description.rect.left, s.description.rect.top);
        window_->setAcceptDrops((s.description.exStyle & WS_EX_ACCEPTFILES) != 0);
        window_->setVisible((s.description.style & WS_VISIBLE) != 0);
    }
    for (auto &[hwnd, snapshot] : snapshots)
        if (auto found = controls_.find(hwnd); found != controls_.end())
            Apply(*found->second, snapshot);

    // The controls' focus is the truth; Qt's follows it while the window is active.
    if (window_->isActiveWindow()) {
        auto found = controls_.find(focus);
        QWidget *wanted = found != controls_.end() ? found->second->widget.data() : window_.data();
        if (wanted != nullptr && QApplication::focusWidget() != wanted)
            wanted->setFocus(Qt::OtherFocusReason);
    }
}

// Every key goes to the UI thread's queue, addressed to the window, not to a
// control: the stand-in gives it to the control that has its focus when the
// key is taken from the queue. Qt's focus follows the stand-in's a frame late
// and must never decide where a fast key lands.
void WindowMirror::PostModifiers(Qt::KeyboardModifiers now)
{
    static const struct {
        Qt::KeyboardModifier modifier;
        WPARAM vk;
    } kModifiers[] = {{Qt::ShiftModifier, VK_SHIFT}, {Qt::ControlModifier, VK_CONTROL}, {Qt::AltModifier, VK_MENU}};
    now &= kModifierKeys;
    for (const auto &m : kModifiers) {
        const bool down = (now & m.modifier) != 0;
        if (down == ((modifiers_ & m.modifier) != 0))
            continue;
        if (m.vk == VK_MENU)
            PostKeyboardInput(topLevel_, down ? WM_SYSKEYDOWN : WM_SYSKEYUP, m.vk, down ? KF_ALTDOWN << 16 : 0);
        else
            PostKeyboardInput(topLevel_, down ? WM_KEYDOWN : WM_KEYUP, m.vk, 0);
    }
    modifiers_ = now;
}

bool WindowMirror::KeyEvent(QEvent *event)
{
    auto *key = static_cast<QKeyEvent *>(event);
    // The modifiers as they are when this key is made, whatever was missed.
    PostModifiers(key->modifiers());
    const bool alt = (modifiers_ & Qt::AltModifier) != 0;
    const bool ctrl = (modifiers_ & Qt::ControlModifier) != 0;
    // With Alt held, keys are system keys (Alt+F4 closes the window).
    const LPARAM flags = alt ? KF_ALTDOWN << 16 : 0;
    KeyInfo info;
    const bool mapped = MapKey(key->key(), &info);
    if (event->type() == QEvent::KeyRelease) {
        if (mapped && !key->isAutoRepeat())
            PostKeyboardInput(topLevel_, alt ? WM_SYSKEYUP : WM_KEYUP, info.vk, flags);
        return true;
    }
    if (mapped)
        PostKeyboardInput(topLevel_, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, info.vk, flags);
    if (alt)
        return true;
    if (ctrl) {
        // Ctrl with a letter types its control character (Ctrl+V: 0x16, paste).
        if (key->key() >= Qt::Key_A && key->key() <= Qt::Key_Z)
            PostKeyboardInput(topLevel_, WM_CHAR, static_cast<WPARAM>(key->key() - Qt::Key_A + 1), 0);
        return true;
    }
    if (info.typed != 0) {
        PostKeyboardInput(topLevel_, WM_CHAR, static_cast<unsigned char>(info.typed), 0);
        return true;
    }
    // Typed text reaches the control as its code page 936 bytes.
    const QString text = key->text();
    if (!text.isEmpty() && text[0].isPrint())
        for (unsigned char byte : DisplayToBytes(text, false))
            PostKeyboardInput(topLevel_, WM_CHAR, byte, 0);
    return true;
}

bool WindowMirror::MouseEvent(HWND target, Control *control, QEvent *event)
{
    auto *mouse = static_cast<QMouseEvent *>(event);
    const bool move = event->type() == QEvent::MouseMove;
    if (move && !(mouse->buttons() & Qt::LeftButton))
        return false;  // hovering is the widget's own business
    if ((!move && mouse->button() != Qt::LeftButton) || control == nullptr)
        return true;
    const bool press = event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick;
    if (!IsTextKind(control->kind)) {
        if (press)
            PostInput(target, WM_LBUTTONDOWN, 0, 0);
        else if (event->type() == QEvent::MouseButtonRelease)
            PostInput(target, WM_LBUTTONUP, 0, 0);
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease)
        return true;
    // In a text box a click puts the caret where it points; a drag selects.
    const QPoint point = mouse->position().toPoint();
    QPointer<TextView> textView = control->kind == Kind::TextBox ? static_cast<TextView *>(control->widget.data()) : nullptr;
    const int index = control->kind == Kind::LineEdit ? static_cast<QLineEdit *>(control->widget.data())->cursorPositionAt(point) : 0;
    std::shared_ptr<size_t> dragAnchor = control->dragAnchor;
    InvokeOnOwner(target, [target, index, point, textView, press, dragAnchor] {
        TextBoxView view;
        if (!IsWindowEnabled(target) || !ViewTextBox(target, &view))
            return;
        const size_t offset = textView != nullptr ? textView->OffsetAt(view.text, point) : ByteOffsetOf(view.text, index);
        if (press) {
            SetFocus(target);
            *dragAnchor = offset;
        }
        SendMessageA(target, EM_SETSEL, *dragAnchor, static_cast<LPARAM>(offset));
    }, false);
    return true;
}

bool WindowMirror::eventFilter(QObject *watched, QEvent *event)
{
    auto found = byWidget_.find(watched);
    if (found == byWidget_.end())
        return false;
    const HWND target = found->second;
    Control *control = nullptr;
    if (auto c = controls_.find(target); c != controls_.end())
        control = c->second.get();

    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return KeyEvent(event);
    case QEvent::WindowDeactivate:
        if (watched == window_)
            PostModifiers(Qt::NoModifier);  // their releases go elsewhere
        return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        return MouseEvent(target, control, event);
    case QEvent::ContextMenu:
        return true;  // editing goes through the controls, never around them
    case QEvent::Close:
        if (watched == window_) {
            event->ignore();
            PostInput(topLevel_, WM_SYSCOMMAND, SC_CLOSE, 0);
            return true;
        }
        return false;
    case QEvent::DragEnter:
    case QEvent::DragMove:
        if (watched == window_ && static_cast<QDropEvent *>(event)->mimeData()->hasUrls()) {
            static_cast<QDropEvent *>(event)->acceptProposedAction();
            return true;
        }
        return false;
    case QEvent::Drop: {
        if (watched != window_)
            return false;
        auto *drop = static_cast<QDropEvent *>(event);
        std::vector<std::string> paths;
        for (const QUrl &url : drop->mimeData()->urls())
            if (url.isLocalFile())
                paths.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
        if (!paths.empty()) {
            PostInput(topLevel_, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(paths)), 0);
            drop->acceptProposedAction();
        }
        return true;
    }
    default:
        return false;
    }
}

}  // namespace w32
