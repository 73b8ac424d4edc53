#pragma once
// The Live thermometers window: eight thermometers showing the latest live
// temperature of each channel, docked against the main window's left edge.
// Created once at start-up into Form4; the main window's live-frame handler
// writes the values whether or not the window is showing.
#include "toolkit/form.h"

#include <array>

class QLabel;
class TAbGradient;
class TAbThermometer;

// Where docking puts both windows, from the main window's frame position and
// this window's outer width; pure so that the arithmetic can be checked alone.
struct DockPlacement {
    int mainLeft;
    int left;
    int top;
};
// `moveMain` says whether the main window steps aside (first activation of a
// showing) or stays where it is (later activations).
DockPlacement DockBeside(int mainLeft, int mainTop, int outerWidth, bool moveMain);

class TForm4 : public TForm {
    Q_OBJECT
public:
    // How far the main window steps right to make room, once per showing.
    static constexpr int MainWindowShift = 130;
    // How far above the main window's top edge this window's top sits.
    static constexpr int RaiseAboveMain = 20;

    explicit TForm4(QWidget* parent = nullptr);

    TAbGradient* AbGradient1;
    QLabel* Label1;
    // Index k - 1 holds AbThermometerk, the thermometer of channel k.
    std::array<TAbThermometer*, 8> AbThermometer{};

protected:
    void FormActivate() override;
    void FormClose() override;
    void hideEvent(QHideEvent* e) override;

private:
    // Set once the main window has stepped aside during the current showing.
    bool mainMovedThisShowing_ = false;
};

extern TForm4* Form4;
