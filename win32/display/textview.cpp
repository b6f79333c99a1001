// textview.cpp: a multi-line text box drawn from the control's text (see textview.h).
#include "display/textview.h"

#include "display/textmap.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cstring>

namespace w32 {

namespace {

constexpr int kMargin = 3;
// The index counts bytes in 31 bits: a longer text is shown up to there.
constexpr size_t kIndexedLimit = 0x7FFFFFFF;

}  // namespace

TextView::TextView(HWND hwnd, bool wrap, QWidget *parent)
    : QAbstractScrollArea(parent), hwnd_(hwnd), wrap_(wrap), lines_{0}, rowStarts_{0}
{
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(wrap ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
}

int TextView::Columns() const
{
    const int width = viewport()->width() - 2 * kMargin;
    return std::max(1, width / std::max(1, fontMetrics().horizontalAdvance(QLatin1Char('x'))));
}

uint64_t TextView::RowsOf(size_t length) const
{
    if (!wrap_ || length == 0)
        return 1;
    const size_t columns = static_cast<size_t>(columns_);
    return (length + columns - 1) / columns;
}

size_t TextView::LineLength(size_t line) const
{
    if (line + 1 == lines_.size())
        return lastLength_;
    return LineStart(line + 1) - LineStart(line) - 1 - (lines_[line] & 1);
}

uint64_t TextView::TotalRows() const
{
    return rowStarts_.back() + RowsOf(lastLength_);
}

void TextView::Reflow(size_t fromLine)
{
    columns_ = Columns();
    rowStarts_.resize(lines_.size());
    for (size_t i = std::max<size_t>(fromLine, 1); i < lines_.size(); i++)
        rowStarts_[i] = static_cast<uint32_t>(rowStarts_[i - 1] + RowsOf(LineLength(i - 1)));
    reflowFrom_ = lines_.size() - 1;
}

void TextView::Update(const TextBoxView &view)
{
    const std::string_view text = view.text;
    if (view.resets != resets_ || text.size() < indexed_) {
        resets_ = view.resets;
        indexed_ = 0;
        lines_.assign(1, 0);
        lastLength_ = 0;
        rowStarts_.assign(1, 0);
        reflowFrom_ = 0;
        longestLine_ = 0;
    }
    const bool grew = text.size() != indexed_;
    reflowFrom_ = std::min(reflowFrom_, lines_.size() - 1);

    // Only the bytes added since the last frame are looked at.
    const char *data = text.data();
    const size_t size = std::min(text.size(), kIndexedLimit);
    size_t at = indexed_;
    while (at < size) {
        const void *found = memchr(data + at, '\n', size - at);
        if (found == nullptr)
            break;
        const size_t lineFeed = static_cast<size_t>(static_cast<const char *>(found) - data);
        const size_t start = LineStart(lines_.size() - 1);
        const bool crlf = lineFeed > start && data[lineFeed - 1] == '\r';
        longestLine_ = std::max(longestLine_, lineFeed - crlf - start);
        lines_.back() |= crlf;
        lines_.push_back(static_cast<uint32_t>((lineFeed + 1) << 1));
        at = lineFeed + 1;
    }
    const size_t start = LineStart(lines_.size() - 1);
    size_t end = size;
    if (end > start && data[end - 1] == '\r')
        end--;  // may yet be the start of a line break
    lastLength_ = end - start;
    longestLine_ = std::max(longestLine_, end - start);
    indexed_ = size;
    Reflow(reflowFrom_);

    if (grew || view.anchor != anchor_ || view.caret != caret_) {
        anchor_ = view.anchor;
        caret_ = view.caret;
        caretRow_ = RowOfOffset(text, caret_);
        followCaret_ = true;
    }
}

void TextView::Refresh()
{
    const int lineHeight = std::max(1, fontMetrics().lineSpacing());
    const int visible = std::max(1, (viewport()->height() - 2 * kMargin) / lineHeight);
    const uint64_t total = TotalRows();
    QScrollBar *vertical = verticalScrollBar();
    vertical->setRange(0, static_cast<int>(std::min<uint64_t>(INT32_MAX, total > static_cast<uint64_t>(visible) ? total - visible : 0)));
    vertical->setPageStep(visible);
    if (followCaret_) {
        // The caret stays in view, as the platform's box scrolls to it.
        if (caretRow_ < static_cast<uint64_t>(vertical->value()))
            vertical->setValue(static_cast<int>(caretRow_));
        else if (caretRow_ >= static_cast<uint64_t>(vertical->value() + visible))
            vertical->setValue(static_cast<int>(caretRow_ - visible + 1));
        followCaret_ = false;
    }
    if (!wrap_) {
        const int width = static_cast<int>(longestLine_) * fontMetrics().averageCharWidth() + 2 * kMargin;
        horizontalScrollBar()->setRange(0, std::max(0, width - viewport()->width()));
        horizontalScrollBar()->setPageStep(viewport()->width());
    }
    viewport()->update();
}

size_t TextView::LineOfRow(uint64_t row) const
{
    return static_cast<size_t>(std::upper_bound(rowStarts_.begin(), rowStarts_.end(), row) - rowStarts_.begin()) - 1;
}

// A row starts at the first character boundary at or after its share of the
// line's bytes, so a double-byte character is never cut in two.
TextView::Row TextView::RowAt(std::string_view text, uint64_t row) const
{
    const size_t line = LineOfRow(row);
    const size_t start = LineStart(line);
    const size_t end = start + LineLength(line);
    if (!wrap_)
        return {start, end};
    const size_t columns = static_cast<size_t>(columns_);
    const uint64_t k = row - rowStarts_[line];
    auto boundary = [&](size_t target) {
        size_t at = start;
        while (at < target && at < end)
            at += IsLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < end ? 2 : 1;
        return std::min(at, end);
    };
    const size_t begin = boundary(start + k * columns);
    return {begin, boundary(start + (k + 1) * columns)};
}

uint64_t TextView::RowOfOffset(std::string_view, size_t offset) const
{
    // Entries compare as twice their start, plus one at most.
    const uint64_t key = std::min<uint64_t>(offset, kIndexedLimit) * 2 + 1;
    const size_t line = static_cast<size_t>(std::upper_bound(lines_.begin(), lines_.end(), key,
                                                             [](uint64_t k, uint32_t e) { return k < e; }) -
                                            lines_.begin()) - 1;
    const size_t length = LineLength(line);
    const size_t within = std::min(offset - LineStart(line), length);
    if (!wrap_)
        return rowStarts_[line];
    const uint64_t k = std::min<uint64_t>(within / static_cast<size_t>(columns_), RowsOf(length) - 1);
    return rowStarts_[line] + k;
}

int TextView::Advance(std::string_view text, size_t begin, size_t end) const
{
    if (end <= begin)
        return 0;
    return fontMetrics().horizontalAdvance(BytesToDisplay(std::string_view(text).substr(begin, end - begin)));
}

void TextView::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    const QFontMetrics metrics = fontMetrics();
    const int lineHeight = std::max(1, metrics.lineSpacing());
    const uint64_t first = static_cast<uint64_t>(verticalScrollBar()->value());
    const int x0 = kMargin - (wrap_ ? 0 : horizontalScrollBar()->value());
    QColor highlight = palette().color(QPalette::Highlight);
    highlight.setAlpha(110);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));

    WithOwnLock([&] {
        TextBoxView view;
        if (!ViewTextBox(hwnd_, &view) || view.resets != resets_ || view.text.size() < indexed_)
            return;
        const std::string_view text = view.text;
        const size_t lo = std::min(view.anchor, view.caret), hi = std::max(view.anchor, view.caret);
        const uint64_t total = TotalRows();
        for (uint64_t r = first; r < total; r++) {
            const int y = kMargin + static_cast<int>(r - first) * lineHeight;
            if (y > viewport()->height())
                break;
            const Row row = RowAt(text, r);
            if (row.end > text.size())
                break;
            if (hi > lo && lo <= row.end && hi >= row.begin && !(hi == row.begin && lo < hi)) {
                const int x1 = x0 + Advance(text, row.begin, std::max(lo, row.begin));
                const int x2 = x0 + Advance(text, row.begin, std::min(hi, row.end));
                painter.fillRect(x1, y, std::max(x2 - x1, 2), lineHeight, highlight);
            }
            painter.drawText(x0, y + metrics.ascent(), BytesToDisplay(std::string_view(text).substr(row.begin, row.end - row.begin)));
            if (hasFocus() && RowOfOffset(text, view.caret) == r) {
                const int x = x0 + Advance(text, row.begin, std::min(view.caret, row.end));
                painter.drawLine(x, y, x, y + lineHeight - 1);
            }
        }
    });
}

void TextView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    Reflow(0);
    Refresh();
}

void TextView::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        // Rows hold as many characters as the new font fits.
        Reflow(0);
        Refresh();
    }
}

size_t TextView::OffsetAt(std::string_view text, QPoint point) const
{
    const int lineHeight = std::max(1, fontMetrics().lineSpacing());
    const uint64_t total = TotalRows();
    int64_t row = static_cast<int64_t>(verticalScrollBar()->value()) + (point.y() - kMargin) / lineHeight;
    row = std::clamp<int64_t>(row, 0, static_cast<int64_t>(total) - 1);
    const Row span = RowAt(text, static_cast<uint64_t>(row));
    const int x = point.x() - (kMargin - (wrap_ ? 0 : horizontalScrollBar()->value()));
    size_t at = span.begin;
    while (at < span.end) {
        const size_t width = IsLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < span.end ? 2 : 1;
        // The caret goes before a character when the point is on its left half.
        if (Advance(text, span.begin, at) + Advance(text, at, at + width) / 2 >= x)
            break;
        at += width;
    }
    return at;
}

QString TextView::LineText(int line) const
{
    QString result;
    WithOwnLock([&] {
        TextBoxView view;
        if (ViewTextBox(hwnd_, &view) && line >= 0 && static_cast<size_t>(line) < lines_.size())
            result = BytesToDisplay(view.text.substr(LineStart(line), LineLength(line)));
    });
    return result;
}

QString TextView::Text() const
{
    QString result;
    WithOwnLock([&] {
        TextBoxView view;
        if (ViewTextBox(hwnd_, &view))
            result = BytesToDisplay(view.text.substr(0, indexed_));
    });
    return result;
}

}  // namespace w32
