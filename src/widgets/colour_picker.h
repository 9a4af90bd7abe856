#pragma once
// The colour picker control: a small white box showing its colour, whose drop-down offers "透明",
// the fixed palette and the system's colour chooser, and which reports every confirmed choice.
#include "forms/colour.h"

#include <QPointer>
#include <QWidget>

#include <optional>
#include <vector>

class ColourPickerPopup;

class ColourPicker : public QWidget {
    Q_OBJECT
public:
    // The drop-down's entries: 0 to 31 are the cells of PickerPalette in table order.
    static constexpr int noEntry = -1;
    static constexpr int transparentEntry = 32;
    static constexpr int otherColoursEntry = 33;

    explicit ColourPicker(QWidget *parent = nullptr);
    ~ColourPicker() override;

    Colour colour() const { return m_colour; }
    void setColour(Colour colour);
    bool allowTransparent() const { return m_allowTransparent; }
    void setAllowTransparent(bool allow);

    // The open drop-down (nullptr while closed), where an entry lies in the drop-down's own
    // coordinates (empty when the entry is not shown) and which entry is highlighted.
    QWidget *popup() const;
    QRect entryRect(int entry) const;
    int highlightedEntry() const;
    // The entries that the open drop-down shows, in the order Left and Right walk through them, and the
    // name of an entry: its tooltip, "透明" or "其它颜色...".
    std::vector<int> shownEntries() const;
    static QString entryName(int entry);
    // Confirms an entry of the open drop-down, as a click on it does; also the press action of screen readers.
    void chooseEntry(int entry);

    // Opens the drop-down, as a click does; also the press action of screen readers.
    void openPopup();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // A choice was confirmed in the drop-down; colour() already holds it. Also fires when the
    // colour chosen is the one the picker had.
    void colourChosen();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    int matchingEntry() const;
    QPoint popupPosition(QSize popupSize) const;
    void confirm(int entry);
    std::optional<Colour> askChooser();

    Colour m_colour = colours::white;
    bool m_allowTransparent = true;
    bool m_pressed = false;
    QPointer<ColourPickerPopup> m_popup;
};
