#include "CsvText.h"

#include "Cp932.h"

namespace sorobe {

namespace {

QString csvField(const QString& text) {
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\r') &&
        !text.contains(u'\n'))
        return text;
    QString quoted = text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

} // namespace

QString csvText(const QList<QStringList>& rows) {
    QString text;
    for (const QStringList& row : rows) {
        for (qsizetype k = 0; k < row.size(); ++k) {
            if (k > 0)
                text += u',';
            text += csvField(row[k]);
        }
        text += QStringLiteral("\r\n");
    }
    return text;
}

CsvResult encodeCsv(const QList<QStringList>& rows, CsvEncoding encoding,
                    const CsvRowName& nameRow) {
    if (encoding == CsvEncoding::Utf8WithBom)
        return {QByteArray("\xEF\xBB\xBF") + csvText(rows).toUtf8(), {}};

    // Shift_JIS, row by row, so that the refusal can name the row's entry.
    QByteArray bytes;
    for (const QStringList& row : rows) {
        const Cp932Encoded line = encodeCp932(csvText({row}));
        if (!line.ok()) {
            qsizetype field = 0;
            while (field + 1 < row.size() && encodeCp932(row[field]).ok())
                ++field;
            return {{},
                    QStringLiteral("%1：%2はShift_JISで書き出せない文字です。")
                        .arg(nameRow(row, field), describeCharacter(line.badCharacter))};
        }
        bytes += line.bytes;
    }
    return {bytes, {}};
}

} // namespace sorobe
