#include "ItemHistoryFile.h"

#include "GeneralDate.h"
#include "LineFile.h"
#include "NumericText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <vector>

namespace sorobe {

namespace {

const QString incomeSection = QStringLiteral("Income");
const QString supplySection = QStringLiteral("Supply");
const QString fileName = QStringLiteral("Sorobe.ini");

// One record of the file: name, count and date lines. False when the record
// is damaged or the file ends inside it.
bool readRecord(LineReader& reader, const QString& name, SelectionPtr& record) {
    QString countLine;
    QString dateLine;
    if (reader.readLine(countLine) != LineReader::Status::Line)
        return false;
    if (reader.readLine(dateLine) != LineReader::Status::Line)
        return false;
    // A count beyond 16 bits would wrap into a different count; it marks a
    // damaged file, not a very popular name.
    const auto count = numericValue(countLine, IntWidth::Bits16);
    const auto date = parseGeneralDate(dateLine);
    if (!count || !date)
        return false;
    record = SorobeSelection::create(name, static_cast<std::int16_t>(*count), *date);
    return true;
}

void writeSection(LineWriter& writer, const QString& title, const SelectionPtr& head) {
    writer.writeLine(title);
    if (!head)
        return;
    for (SelectionPtr record = head->nextSelection(); record; record = record->nextSelection()) {
        const QString& name = record->tsArticle();
        // A name the file cannot hold is left out; the rest of the history is
        // kept. "Supply" would read back as the section line and throw every
        // record after it out of step.
        if (name == supplySection)
            continue;
        if (!writer.writeLine(name))
            continue;
        writer.writeNumber(record->tsCount());
        writer.writeDate(record->tsDate());
    }
}

// Whether new files can be made in the folder: tried, since permissions alone
// do not tell (read-only mounts, a path that is no folder).
QString dataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

} // namespace

namespace {

// The records of the file in its order, each section's apart. A damaged record
// ends the reading; the records before it are kept.
void readRecords(LineReader& reader, std::vector<SelectionPtr>& income,
                 std::vector<SelectionPtr>& supply) {
    QString line;
    if (reader.readLine(line) != LineReader::Status::Line || line != incomeSection)
        return;

    std::vector<SelectionPtr>* section = &income;
    if (reader.readLine(line) != LineReader::Status::Line)
        return;
    for (;;) {
        if (line == supplySection) {
            section = &supply;
            if (reader.readLine(line) != LineReader::Status::Line)
                return;
        }
        SelectionPtr record;
        if (!readRecord(reader, line, record))
            return;
        // A name holding a CR could not be saved again and would vanish at
        // the next save anyway; leaving it out keeps the records after it.
        if (!line.contains(u'\r'))
            section->push_back(std::move(record));
        if (reader.readLine(line) != LineReader::Status::Line)
            return;
    }
}

} // namespace

namespace {

void loadFrom(LineReader& reader, const SelectionPtr& incomeHistory,
              const SelectionPtr& supplyHistory, QDate today) {
    std::vector<SelectionPtr> income;
    std::vector<SelectionPtr> supply;
    readRecords(reader, income, supply);
    // The income records all come before the expense ones in the file, so
    // feeding the two sections one after the other is feeding the file's
    // records in order, even into one list given twice.
    incomeHistory->appendSelectionsWithCount(income, today);
    supplyHistory->appendSelectionsWithCount(supply, today);
}

} // namespace

void loadItemHistory(const SelectionPtr& incomeHistory, const SelectionPtr& supplyHistory,
                     const QString& path, QDate today) {
    if (!incomeHistory || !supplyHistory)
        return;
    LineReader reader;
    if (!reader.openFile(path))
        return;
    loadFrom(reader, incomeHistory, supplyHistory, today);
}

void parseItemHistory(const SelectionPtr& incomeHistory, const SelectionPtr& supplyHistory,
                      const QByteArray& bytes, QDate today) {
    if (!incomeHistory || !supplyHistory)
        return;
    LineReader reader(bytes);
    loadFrom(reader, incomeHistory, supplyHistory, today);
}

bool saveItemHistory(const SelectionPtr& incomeHistory, const SelectionPtr& supplyHistory,
                     const QString& path, QString* reason) {
    LineWriter writer;
    writeSection(writer, incomeSection, incomeHistory);
    writeSection(writer, supplySection, supplyHistory);
    return writer.saveTo(path, reason);
}

QString itemHistoryWritePath(const QString& dataFolder) {
    // Created here so that the save finds it; if that fails, the save says so.
    QDir().mkpath(dataFolder);
    return QDir(dataFolder).filePath(fileName);
}

QString itemHistoryReadPath(const QString& applicationFolder, const QString& dataFolder) {
    // A history left beside the program by an older copy is taken over until
    // the first save puts one into the data folder.
    const QString inDataFolder = QDir(dataFolder).filePath(fileName);
    const QString besideProgram = QDir(applicationFolder).filePath(fileName);
    if (!QFileInfo(inDataFolder).isFile() && !applicationFolder.isEmpty() &&
        QFileInfo(besideProgram).isFile())
        return besideProgram;
    return inDataFolder;
}

QString itemHistoryWritePath() {
    return itemHistoryWritePath(dataFolder());
}

QString itemHistoryReadPath() {
    return itemHistoryReadPath(QCoreApplication::applicationDirPath(), dataFolder());
}

} // namespace sorobe
