#include "frmAbout.h"

#include "AppVersion.h"
#include "Twips.h"

#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPushButton>

namespace sorobe {

namespace {

const QString productTitle = QStringLiteral("そろべえ");
const QString aboutCaption = QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報");
const QString descriptionText = QStringLiteral("学級会計のための帳簿ソフト");
// Unlike the splash, the about box's disclaimer has a half-width colon and dots.
const QString disclaimerText =
    QStringLiteral("警告: ...本製品に関して生じた逸失利益 , 特別事情による損害 , "
                   "本製品以外のソフトウェア・データ・ハードウェアなどに生じた損害については"
                   "一切の責任を負わないものとします。");

} // namespace

QPixmap paintApplicationIcon(int size) {
    const int side = qMax(16, size);
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);

    // A ledger page with ruled lines ...
    const double s = side;
    const QRectF page(s * 0.10, s * 0.06, s * 0.66, s * 0.86);
    painter.setPen(QPen(QColor(0x44, 0x44, 0x44), qMax(1.0, s / 32)));
    painter.setBrush(QColor(0xff, 0xfd, 0xf4));
    painter.drawRect(page);
    painter.setPen(QPen(QColor(0x3a, 0x6e, 0xb5), qMax(1.0, s / 40)));
    for (int i = 1; i <= 4; ++i) {
        const double y = page.top() + page.height() * i / 5.5;
        painter.drawLine(QPointF(page.left() + s * 0.08, y), QPointF(page.right() - s * 0.08, y));
    }
    // ... and one abacus bead on its rod in front of it.
    const double rodX = s * 0.72;
    painter.setPen(QPen(QColor(0x7a, 0x4a, 0x22), qMax(1.5, s / 16)));
    painter.drawLine(QPointF(rodX, s * 0.40), QPointF(rodX, s * 0.98));
    const double w = s * 0.50;
    const double h = s * 0.30;
    const double top = s * 0.55;
    const QPointF bead[] = {{rodX - w / 2, top + h / 2}, {rodX - w * 0.2, top},
                            {rodX + w * 0.2, top},       {rodX + w / 2, top + h / 2},
                            {rodX + w * 0.2, top + h},   {rodX - w * 0.2, top + h}};
    painter.setPen(QPen(QColor(0x5e, 0x14, 0x10), qMax(1.0, s / 32)));
    painter.setBrush(QColor(0xb0, 0x2e, 0x26));
    painter.drawPolygon(bead, 6);
    return pixmap;
}

frmAbout::frmAbout(QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(aboutCaption + QLatin1Char(' ') + productTitle);
    setFixedSize(twipsToPixels(5865), twipsToPixels(3630));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setGeometry(twipsRect(240, 240, 540, 540));
    picIcon->setPixmap(paintApplicationIcon(picIcon->width()));

    lblTitle = new QLabel(productTitle, this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = lblTitle->font();
    titleFont.setPointSize(16);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    lblTitle->setGeometry(twipsRect(1050, 200, 4575, 560));

    lblDescription = new QLabel(descriptionText, this);
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    lblDescription->setGeometry(twipsRect(1050, 780, 4575, 330));

    lblVersion = new QLabel(this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblVersion->setGeometry(twipsRect(1050, 1125, 4575, 330));

    Line1 = new QFrame(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);
    Line1->setGeometry(twipsRect(90, 1590, 5685, 60));

    lblDisclaimer = new QLabel(disclaimerText, this);
    lblDisclaimer->setObjectName(QStringLiteral("lblDisclaimer"));
    QFont smallFont = lblDisclaimer->font();
    smallFont.setPointSize(qMax(8, smallFont.pointSize() - 1));
    lblDisclaimer->setFont(smallFont);
    lblDisclaimer->setWordWrap(true);
    lblDisclaimer->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblDisclaimer->setGeometry(twipsRect(255, 1770, 3960, 1740));

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(twipsRect(4380, 3060, 1260, 390));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);

    Form_Load();
}

QString frmAbout::versionLine(int major, int minor, int revision) {
    return QStringLiteral("ﾊﾞｰｼﾞｮﾝ ") + versionText(major, minor, revision);
}

void frmAbout::Form_Load() {
    lblVersion->setText(versionLine(versionMajor, versionMinor, versionRevision));
}

void frmAbout::cmdOK_Click() {
    accept();
}

void showAboutBox(QWidget* owner) {
    try {
        // Made anew for every request; the owner's destruction during the
        // box's event loop would take the box with it, hence the guard.
        QPointer<frmAbout> box = new frmAbout(owner);
        box->setWindowModality(Qt::ApplicationModal);
        box->exec();
        delete box.data();
    } catch (...) {
        // The about box changes nothing; a failure to show it ends the command.
    }
}

} // namespace sorobe
