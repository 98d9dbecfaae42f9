#include "RecoveryOffer.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>

namespace sorobe {

namespace {

QString aboutCopy(const LeftRecoveryCopy& copy) {
    const QString document = copy.info.ledgerPath.isEmpty()
                                 ? QStringLiteral("（まだ保存したことのない帳簿）")
                                 : QDir::toNativeSeparators(copy.info.ledgerPath);
    return QStringLiteral("帳簿：%1\n変更を控えた日時：%2\n\n"
                          "「いいえ」を選ぶと、この変更は次のファイルに残します"
                          "（「開く」で読み込めます）。\n%3")
        .arg(document, copy.info.taken.toLocalTime().toString(QStringLiteral("yyyy/MM/dd H:mm")),
             QDir::toNativeSeparators(recoveryAsidePath(copy)));
}

} // namespace

bool offerRecoveryCopies(frmMain& window, const QString& folder) {
    std::vector<LeftRecoveryCopy> copies = findLeftRecoveryCopies(folder);
    for (LeftRecoveryCopy& copy : copies) {
        QMessageBox question(QMessageBox::Question, window.windowTitle(),
                             QStringLiteral("前回、保存されていない変更があります。復元しますか？"),
                             QMessageBox::Yes | QMessageBox::No, &window);
        question.setObjectName(QStringLiteral("frmRecovery"));
        question.setInformativeText(aboutCopy(copy));
        question.setDefaultButton(QMessageBox::Yes);
        question.setEscapeButton(QMessageBox::No);
        if (question.exec() == QMessageBox::Yes) {
            if (window.restoreRecoveryCopy(copy)) {
                // The window keeps a copy of its own now; one it could not
                // write leaves this one aside rather than gone.
                RecoveryCopy* own = window.recoveryCopy();
                own->waitForWriter();
                if (QFileInfo::exists(own->ledgerCopyPath()))
                    removeRecoveryCopy(copy);
                else
                    setRecoveryCopyAside(copy);
                return true;
            }
            // A copy that cannot be read is kept aside like one declined.
        }
        if (!setRecoveryCopyAside(copy))
            QMessageBox::warning(
                &window, window.windowTitle(),
                QStringLiteral(
                    "復元用のコピー「%1」を移せませんでした。次の起動でもう一度たずねます。")
                    .arg(QDir::toNativeSeparators(copy.ledgerCopyPath)));
    }
    return false;
}

} // namespace sorobe
