// textview.h: a multi-line text box on screen that draws straight from the
// control's own text. It keeps only an index of where lines start, so a
// listing of hundreds of megabytes costs the display a few bytes a line, and
// only the rows in view are read and drawn, under the owner's lock.
#ifndef W32_DISPLAY_TEXTVIEW_H
#define W32_DISPLAY_TEXTVIEW_H

#include <windows.h>

#include <w32/user.h>

#include <QAbstractScrollArea>

#include <cstdint>
#include <string>
#include <vector>

namespace w32 {

class TextView : public QAbstractScrollArea {
public:
    // wrap: long lines continue on the next row (a box without ES_AUTOHSCROLL).
    TextView(HWND hwnd, bool wrap, QWidget *parent);

    // Takes in what changed in the control; called under the owner's lock.
    void Update(const TextBoxView &view);
    // Scrolls, resizes and repaints after Update; called without the lock.
    void Refresh();

    // The byte offset in the control's text at a point of the viewport;
    // called under the owner's lock.
    size_t OffsetAt(std::string_view text, QPoint point) const;

    // What the box shows, for tests: lines as the person reads them.
    int LineCount() const { return static_cast<int>(lines_.size()); }
    QString LineText(int line) const;
    QString Text() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    struct Row {
        size_t begin = 0, end = 0;  // bytes of the text
    };

    int Columns() const;
    uint64_t RowsOf(size_t length) const;
    uint64_t TotalRows() const;
    void Reflow(size_t fromLine);
    size_t LineOfRow(uint64_t row) const;
    Row RowAt(std::string_view text, uint64_t row) const;
    uint64_t RowOfOffset(std::string_view text, size_t offset) const;
    int Advance(std::string_view text, size_t begin, size_t end) const;

    HWND hwnd_;
    bool wrap_;
    uint64_t resets_ = ~uint64_t{0};
    size_t indexed_ = 0;              // bytes of the text looked at so far
    // Two numbers a line, four bytes each, for listings of millions of lines:
    // each line's first byte, times two, plus one when its line break is CR LF
    // (so the lengths follow from the starts); and each line's first row.
    std::vector<uint32_t> lines_;
    std::vector<uint32_t> rowStarts_;
    size_t lastLength_ = 0;  // the last line's bytes so far
    size_t LineStart(size_t line) const { return lines_[line] >> 1; }
    size_t LineLength(size_t line) const;
    size_t reflowFrom_ = 0;           // the first line whose rows are out of date
    size_t anchor_ = 0, caret_ = 0;
    uint64_t caretRow_ = 0;
    bool followCaret_ = false;
    int columns_ = 0;
    size_t longestLine_ = 0;
};

}  // namespace w32

#endif
