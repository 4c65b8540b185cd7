#pragma once

#include "forms/form.h"

#include <span>

class QLabel;
class QPushButton;

namespace program {

// A separator line of an explanation box, in design units (1/1440 inch).
struct Separator {
    int left;
    int right;
    int y;
};

// Everything in which the explanation boxes differ: layout, window title and text pieces.
struct AboutLayout {
    const char* name;
    const char* title;
    int clientWidth;
    int clientHeight;
    int labelLeft;
    int labelTop;
    int labelWidth;
    int labelHeight;
    int okLeft;
    int okTop;
    Separator line;
    bool etched; // a white line under the grey one
    std::span<const char* const> pieces;
};

// One explanation box: a block of theory text in `lblTitle`, a separator and an "OK" button.
class AboutBox : public forms::Form {
    Q_OBJECT
public:
    explicit AboutBox(const AboutLayout& layout);
    void Form_Load() override;
    void cmdOK_Click();

    // The label's caption as a user sees it: each carriage return starts a new line.
    static QString shownText(const QString& caption);

private:
    void drawSeparator();
    void fitTextFont();

    const AboutLayout& m_layout;
    QLabel* lblTitle = nullptr;
    QPushButton* cmdOK = nullptr;
};

// The overview of the whole program, opened from the main menu.
class frmAbout1 : public AboutBox {
    Q_OBJECT
public:
    static constexpr const char* kName = "frmAbout1";
    frmAbout1();
};

// The windowed-sinc method, opened from the rectangular-window lowpass screen.
class frmAbout2 : public AboutBox {
    Q_OBJECT
public:
    static constexpr const char* kName = "frmAbout2";
    frmAbout2();
};

// The Blackman lowpass screen.
class frmAbout : public AboutBox {
    Q_OBJECT
public:
    static constexpr const char* kName = "frmAbout";
    frmAbout();
};

// The bandpass screen.
class frmAbout3 : public AboutBox {
    Q_OBJECT
public:
    static constexpr const char* kName = "frmAbout3";
    frmAbout3();
};

// The highpass screen.
class frmAbout4 : public AboutBox {
    Q_OBJECT
public:
    static constexpr const char* kName = "frmAbout4";
    frmAbout4();
};

// The bandstop screen.
class frmAbout5 : public AboutBox {
    Q_OBJECT
public:
    static constexpr const char* kName = "frmAbout5";
    frmAbout5();
};

} // namespace program
