# The Debian package of そろべえ, made by `make package` (cpack -G DEB in the
# build folder): the install tree under /usr, depending on the shared
# libraries the program links (found by dpkg-shlibdeps), Qt's platform plugins
# that show its windows, and the Japanese Mincho and Gothic fonts its window
# and printouts use.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME sorobe)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# A package carries the program without its debugging information.
set(CPACK_STRIP_FILES ON)

set(SOROBE_PACKAGE_MAINTAINER "Sorobe developers <maintainers@sorobe.invalid>"
  CACHE STRING "The Maintainer field of the Debian package")
set(CPACK_PACKAGE_CONTACT ${SOROBE_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${SOROBE_PACKAGE_MAINTAINER})

set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "book-keeping for the money of a school class")
# Lines of the extended description; an empty line becomes a paragraph break.
set(CPACK_PACKAGE_DESCRIPTION [=[
Sorobe (そろべえ) keeps the accounts of one school class (学級会計): the income
collected from the pupils, the expenses with their receipt numbers and the
money left. It tabulates the school year by term with the balances carried
forward, and prints for each period the ledger (元帳) and the accounting
report to the parents (会計報告). Its windows and printouts are in Japanese.

そろべえは学級会計のための帳簿ソフトです。集金などの収入と、領収書番号つきの
支出を記録し、残金を表示します。学期ごと（１〜３学期、前期・後期、年間）に
繰越金つきで集計し、元帳と保護者向けの会計報告を印刷します。]=])

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Beside the libraries: the platform plugins (libqt6gui6 only recommends them)
# and the fonts. Qt's Japanese translations make its own buttons speak Japanese.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-ipafont-mincho, fonts-ipafont-gothic")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")

include(CPack)
