#include "frmSplash.h"

#include "AppVersion.h"
#include "Twips.h"

#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <array>

namespace sorobe {

namespace {

const QString productTitle = QStringLiteral("そろべえ");
// The platform line is the program's own wording, kept as it always read.
const QString platformText = QStringLiteral("Windows95,98,NT,2000");
const QString warningText =
    QStringLiteral("警告：本製品に関して生じた逸失利益 , 特別事情による損害 , "
                   "本製品以外のソフトウェア・データ・ハードウェアなどに生じた損害については"
                   "一切の責任を負わないものとします。");

// The logo: an abacus, drawn with a few shapes so that the splash needs no
// image file and paints in no time. The beads set against the bar read 1 3 5.
class AbacusLogo : public QWidget {
public:
    explicit AbacusLogo(QWidget* parent)
        : QWidget(parent) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);

        const QRectF area = QRectF(rect()).adjusted(2, 2, -2, -2);
        // An abacus is wider than high; centre a 5:4 body in the square.
        const double bodyWidth = area.width();
        const double bodyHeight = qMin(area.height(), bodyWidth * 0.8);
        const QRectF body(area.left(), area.center().y() - bodyHeight / 2, bodyWidth, bodyHeight);

        const QColor wood(0x7a, 0x4a, 0x22);
        const QColor rodColour(0x9c, 0x8b, 0x70);
        const QColor bead(0xb0, 0x2e, 0x26);
        const QColor beadEdge(0x5e, 0x14, 0x10);

        const double rim = body.width() * 0.06;
        painter.setPen(Qt::NoPen);
        painter.setBrush(wood);
        painter.drawRoundedRect(body, rim * 0.6, rim * 0.6);
        const QRectF inner = body.adjusted(rim, rim, -rim, -rim);
        painter.setBrush(QColor(0xf6, 0xee, 0xdc));
        painter.drawRect(inner);

        // The reckoning bar splits one heaven bead from four earth beads.
        const double barHeight = rim * 0.7;
        const double barTop = inner.top() + inner.height() * 0.30;
        const QRectF bar(inner.left(), barTop, inner.width(), barHeight);

        constexpr int rods = 5;
        const std::array<int, rods> digits{0, 1, 3, 5, 0};
        const double pitch = inner.width() / rods;
        const double beadWidth = pitch * 0.84;
        const double heavenSpace = barTop - inner.top();
        const double earthSpace = inner.bottom() - bar.bottom();
        const double beadHeight = qMin(heavenSpace / 1.6, earthSpace / 5.2);

        for (int i = 0; i < rods; ++i) {
            const double x = inner.left() + pitch * (i + 0.5);
            painter.setPen(QPen(rodColour, qMax(1.0, pitch * 0.06)));
            painter.drawLine(QPointF(x, inner.top()), QPointF(x, inner.bottom()));

            painter.setPen(QPen(beadEdge, 1));
            painter.setBrush(bead);
            const int digit = digits[static_cast<std::size_t>(i)];
            const auto drawBead = [&](double top) {
                QPainterPath path;
                const double left = x - beadWidth / 2;
                const double mid = top + beadHeight / 2;
                path.moveTo(left, mid);
                path.lineTo(left + beadWidth * 0.3, top);
                path.lineTo(left + beadWidth * 0.7, top);
                path.lineTo(left + beadWidth, mid);
                path.lineTo(left + beadWidth * 0.7, top + beadHeight);
                path.lineTo(left + beadWidth * 0.3, top + beadHeight);
                path.closeSubpath();
                painter.drawPath(path);
            };
            // Heaven bead: worth five, down at the bar when the digit is 5 or more.
            drawBead(digit >= 5 ? barTop - beadHeight : inner.top());
            // Earth beads: those counted are pushed up to the bar.
            const int counted = digit % 5;
            for (int b = 0; b < 4; ++b) {
                const double top = b < counted ? bar.bottom() + beadHeight * b
                                               : inner.bottom() - beadHeight * (4 - b);
                drawBead(top);
            }
        }

        painter.setPen(Qt::NoPen);
        painter.setBrush(wood);
        painter.drawRect(bar);
    }
};

} // namespace

frmSplash::frmSplash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(productTitle);
    setFixedSize(twipsToPixels(8475), twipsToPixels(5250));

    fraMainFrame = new QFrame(this);
    fraMainFrame->setObjectName(QStringLiteral("fraMainFrame"));
    fraMainFrame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    fraMainFrame->setLineWidth(1);
    fraMainFrame->setMidLineWidth(1);
    fraMainFrame->setGeometry(twipsRect(45, 45, 8385, 5160));

    picLogo = new AbacusLogo(fraMainFrame);
    picLogo->setObjectName(QStringLiteral("picLogo"));
    picLogo->setGeometry(twipsRect(360, 480, 2400, 2160));

    const auto makeLabel = [this](const char* name, const QString& text, int pointSize, bool bold) {
        auto* label = new QLabel(text, fraMainFrame);
        label->setObjectName(QString::fromLatin1(name));
        QFont font = label->font();
        font.setPointSize(pointSize);
        font.setBold(bold);
        label->setFont(font);
        return label;
    };

    lblProductName = makeLabel("lblProductName", productTitle, 36, true);
    lblProductName->setGeometry(twipsRect(3000, 480, 5100, 1200));
    lblProductName->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    lblPlatform = makeLabel("lblPlatform", platformText, 15, false);
    lblPlatform->setGeometry(twipsRect(3000, 1860, 5100, 480));
    lblPlatform->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    lblVersion = makeLabel("lblVersion", QString(), 12, false);
    lblVersion->setGeometry(twipsRect(3000, 2400, 5100, 420));
    lblVersion->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    lblWarning = makeLabel("lblWarning", warningText, 9, false);
    lblWarning->setGeometry(twipsRect(360, 3360, 7665, 1500));
    lblWarning->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblWarning->setWordWrap(true);

    Form_Load();
}

QString frmSplash::versionLine(int major, int minor, int revision) {
    return QStringLiteral("Version ") + versionText(major, minor, revision);
}

void frmSplash::Form_Load() {
    lblVersion->setText(versionLine(versionMajor, versionMinor, versionRevision));
}

void frmSplash::showAtOnce() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = rect();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    show();
    repaint();
    // Let the window system map and paint the window before the main
    // window's load keeps the event loop busy; no user input is taken here.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace sorobe
