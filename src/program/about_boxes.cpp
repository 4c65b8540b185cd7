#include "program/about_boxes.h"

#include "forms/runtime.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyle>

#include <algorithm>
#include <array>

namespace program {
namespace {

// The texts, joined piece by piece at load; every blank belongs to its piece.
// clang-format off
constexpr const char* kOverviewPieces[] = {
    "This software demonstrates Fourier synthesis for 5 common periodic functions.",
    " For example, adding sine waves of 1 kHz, 3 kHz, 5 kHz, 7 kHz and so on ",
    "can produce a waveform that approaches a square wave.  ",
    "In such a series, the 1 kHz signal is called the fundamental ",
    "and the rest are called harmonics (integer multiples of the fundamental).  ",
    "The fundamental is sometimes called the first harmonic.  ",
    "\r\r", // a new paragraph after an empty line
    "A Fourier transform is a mathematical operation that can convert a time-varying signal",
    " into its frequency content.  Thus, a square wave can be converted into a series ",
    "of sine frequencies spaced at odd multiples of the fundamental frequency.  ",
    "And, the inverse Fourier transform can convert a spectrum (frequency content) into ",
    "time-varying values.  Inverse Fourier transforms can be used to design FIR digital filters.",
    "  This software uses this approach to design FIR filters.",
};
// clang-format on

// clang-format off
constexpr const char* kWindowedSincPieces[] = {
    "The windowed-sinc design method is used here.",
    " The impulse response of the filter takes the general form",
    " sin(x)/x which is known as the sinc function (which you can see by plotting the coefficients).",
    " Due to the truncation of the sinc function, the filter",
    " shows excessive ripple in the passband",
    " and poor attenuation in the stopband.",
    " A Blackman window can be used to smooth the abruptness of the",
    " ends of the truncated sinc function and improve the frequency response.",
    " The price paid is a larger transition bandwidth.",
    " This can be compensated for by increasing the filter order.",
    " The Main Menu offers filter designs using the Blackman window.",
};
// clang-format on

// clang-format off
constexpr const char* kBlackmanLowpassPieces[] = {
    "The red plot shows the linear response with a Blackman window.  ",
    "The Blackman window reduces the ripple to a ",
    "value that is too small to show on the linear plot. ",
    "The black plot is the logarithmic filter response with each vertical division ",
    "equal to approximately 15 dB. The Blackman window reduces the passband ripple and improves the "
    "stopband attenuation.",
};
// clang-format on

// clang-format off
constexpr const char* kBandpassPieces[] = {
    "The red plot shows the linear response with a Blackman window. ",
    "The Blackman window reduces passband ripple and improves ",
    "stopband attenuation.  ",
    "The black plot is the logarithmic filter response with each vertical division ",
    "equal to approximately 15 dB.  The bandpass response is actually a shifted ",
    "lowpass response.  The lowpass coefficients are multiplied by a sine ",
    "function of the bandpass center frequency. ",
};
// clang-format on

// clang-format off
constexpr const char* kHighpassPieces[] = {
    "The red plot shows the linear response with a Blackman window.  ",
    "The window reduces the ripple to a ",
    "value that is too small to show on the graph. ",
    "The black plot is the logarithmic filter response with each vertical division ",
    "equal to approximately 15 dB.  The highpass response is obtained by ",
    "multiplying the lowpass filter coefficients by a sinusoidal function of the sampling frequency. ",
};
// clang-format on

// clang-format off
constexpr const char* kBandstopPieces[] = {
    "The red plot shows the linear response with a Blackman window.  ",
    "The window reduces the ripple to a ",
    "value that is too small to show on the graph. ",
    "The black plot is the logarithmic filter response with each vertical division ",
    "equal to approximately 15 dB.  The bandstop response is achieved by subtracting ",
    "a sine function of the upper cutoff frequency from a sine function of the lower cutoff frequency.",
};
// clang-format on

// clang-format off
const std::array kLayouts{
    AboutLayout{.name = "frmAbout1", .title = "DSP Lab", .clientWidth = 5730, .clientHeight = 3540,
                .labelLeft = 213, .labelTop = 130, .labelWidth = 5325, .labelHeight = 2880,
                .okLeft = 4200, .okTop = 3120, .line = {120, 5684, 3000}, .etched = false,
                .pieces = kOverviewPieces},
    AboutLayout{.name = "frmAbout2", .title = "About low-pass filter design", .clientWidth = 5730,
                .clientHeight = 2985, .labelLeft = 210, .labelTop = 240, .labelWidth = 5325,
                .labelHeight = 2040, .okLeft = 4320, .okTop = 2520, .line = {120, 5684, 2400},
                .etched = false, .pieces = kWindowedSincPieces},
    AboutLayout{.name = "frmAbout", .title = "About low-pass filter design", .clientWidth = 5730,
                .clientHeight = 3090, .labelLeft = 480, .labelTop = 240, .labelWidth = 4725,
                .labelHeight = 2040, .okLeft = 4245, .okTop = 2625, .line = {90, 5654, 2445},
                .etched = true, .pieces = kBlackmanLowpassPieces},
    AboutLayout{.name = "frmAbout3", .title = "About band-pass filter design", .clientWidth = 5730,
                .clientHeight = 3090, .labelLeft = 210, .labelTop = 240, .labelWidth = 5325,
                .labelHeight = 2040, .okLeft = 4245, .okTop = 2625, .line = {90, 5654, 2445},
                .etched = true, .pieces = kBandpassPieces},
    AboutLayout{.name = "frmAbout4", .title = "About high-pass filter design", .clientWidth = 5730,
                .clientHeight = 3555, .labelLeft = 360, .labelTop = 240, .labelWidth = 5085,
                .labelHeight = 2040, .okLeft = 4245, .okTop = 2625, .line = {90, 5654, 2445},
                .etched = true, .pieces = kHighpassPieces},
    AboutLayout{.name = "frmAbout5", .title = "About band-stop filter design", .clientWidth = 5730,
                .clientHeight = 3555, .labelLeft = 210, .labelTop = 240, .labelWidth = 5325,
                .labelHeight = 2040, .okLeft = 4245, .okTop = 2625, .line = {90, 5654, 2445},
                .etched = true, .pieces = kBandstopPieces},
};
// clang-format on

const AboutLayout& layoutOf(const char* name)
{
    const auto found =
        std::find_if(kLayouts.begin(), kLayouts.end(), [name](const AboutLayout& layout) {
            return QLatin1String(layout.name) == QLatin1String(name);
        });
    Q_ASSERT(found != kLayouts.end());
    return *found;
}

// The old dialog face colour, as on the start screen: black text reads well on it, and both the
// grey and the white line of the etched separator show.
const QColor kDialogFace(192, 192, 192);
const QColor kShadow(128, 128, 128);
const QColor kHighlight(255, 255, 255);
constexpr int kOkWidth = 1260;
constexpr int kOkHeight = 345;
// Below this the text would no longer be readable; the layouts never need it.
constexpr double kSmallestPoints = 6;
constexpr double kPointStep = 0.5;
constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;

// A label that keeps its caption exactly as the program built it, carriage returns included,
// and shows each carriage return as a line break, as the old labels did.
class CaptionLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        style()->drawItemText(&painter, contentsRect(), kTextFlags, palette(), isEnabled(),
                              AboutBox::shownText(text()), foregroundRole());
    }
};

forms::FontSpec dialogFont()
{
    const QFont font = QApplication::font();
    return {font.family(), QFontInfo(font).pointSizeF(), false};
}

int wrappedHeight(const QFont& font, const QString& text, int width)
{
    return QFontMetrics(font).boundingRect(QRect(0, 0, width, 1 << 20), kTextFlags, text).height();
}

} // namespace

AboutBox::AboutBox(const AboutLayout& layout)
    : Form(QString::fromLatin1(layout.name), layout.clientWidth, layout.clientHeight),
      m_layout(layout)
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint);
    setCaption(QString::fromLatin1(layout.title));
    drawSeparator();

    lblTitle = new CaptionLabel(centralWidget());
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setGeometry(
        twipsRect(layout.labelLeft, layout.labelTop, layout.labelWidth, layout.labelHeight));
    lblTitle->setFont(QApplication::font());
    lblTitle->setWordWrap(true);
    lblTitle->setTextFormat(Qt::PlainText);
    lblTitle->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    addControl(lblTitle);
    QPalette palette = lblTitle->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    lblTitle->setPalette(palette);

    cmdOK = addButton(QStringLiteral("cmdOK"), QStringLiteral("OK"),
                      twipsRect(layout.okLeft, layout.okTop, kOkWidth, kOkHeight), dialogFont());
    onClick(cmdOK, [this] { cmdOK_Click(); });
    setDefaultButton(cmdOK);
    setCancelButton(cmdOK);
    centreOnScreen();
}

// The separator is part of the layout, drawn once on the canvas in the layout's own units.
void AboutBox::drawSeparator()
{
    setScaleWidth(m_layout.clientWidth);
    setScaleHeight(m_layout.clientHeight);
    setBackColor(kDialogFace);
    Cls();
    const Separator& line = m_layout.line;
    setForeColor(kShadow);
    Line(line.left, line.y, line.right, line.y);
    if (m_layout.etched) {
        // One pixel lower and one further right, ending with the grey line.
        setForeColor(kHighlight);
        Line(line.left + forms::kTwipsPerPixel, line.y + forms::kTwipsPerPixel, line.right,
             line.y + forms::kTwipsPerPixel);
    }
}

void AboutBox::Form_Load()
{
    lblTitle->setText(QString::fromLatin1(m_layout.pieces.front()));
    for (const char* piece : m_layout.pieces.subspan(1))
        lblTitle->setText(lblTitle->text() + QString::fromLatin1(piece));
    fitTextFont();
}

// The layouts were drawn for a small 8 point dialog font; where the platform's default font is
// larger, the label's font steps down until the whole text fits above the separator.
void AboutBox::fitTextFont()
{
    const QString text = shownText(lblTitle->text());
    const int separatorRow = forms::twipsToPixels(m_layout.line.y);
    const int room = std::min(lblTitle->geometry().bottom(), separatorRow - 1) - lblTitle->y() + 1;
    QFont font = QApplication::font();
    double points = QFontInfo(font).pointSizeF();
    font.setPointSizeF(points);
    while (points > kSmallestPoints && wrappedHeight(font, text, lblTitle->width()) > room) {
        points = std::max(kSmallestPoints, points - kPointStep);
        font.setPointSizeF(points);
    }
    lblTitle->setFont(font);
}

void AboutBox::cmdOK_Click() { runtime().Unload(this); }

QString AboutBox::shownText(const QString& caption)
{
    QString shown = caption;
    return shown.replace(QChar(13), QChar(10));
}

frmAbout1::frmAbout1() : AboutBox(layoutOf(kName)) { }
frmAbout2::frmAbout2() : AboutBox(layoutOf(kName)) { }
frmAbout::frmAbout() : AboutBox(layoutOf(kName)) { }
frmAbout3::frmAbout3() : AboutBox(layoutOf(kName)) { }
frmAbout4::frmAbout4() : AboutBox(layoutOf(kName)) { }
frmAbout5::frmAbout5() : AboutBox(layoutOf(kName)) { }

} // namespace program
