#include "RecordingPrintSurface.h"

namespace sorobe {

RecordingPrintSurface::RecordingPrintSurface(double pageHeight)
    : m_pageHeight(pageHeight) {}

PrintOperation& RecordingPrintSurface::record(PrintOperation::Kind kind) {
    if (m_fail)
        throw PrintFailure(QStringLiteral("プリンターが印刷を開始できませんでした。"));
    PrintOperation& operation = m_operations.emplace_back();
    operation.kind = kind;
    operation.page = m_page;
    operation.fontName = fontName();
    operation.fontSize = fontSize();
    operation.lineWidth = lineWidth();
    operation.color = color();
    return operation;
}

void RecordingPrintSurface::drawText(double x, double y, const QString& text) {
    PrintOperation& operation = record(PrintOperation::Kind::Text);
    operation.x = x;
    operation.y = y;
    operation.text = text;
    operation.width = textWidth(text);
}

void RecordingPrintSurface::drawLine(double x1, double y1, double x2, double y2) {
    PrintOperation& operation = record(PrintOperation::Kind::Line);
    operation.x = x1;
    operation.y = y1;
    operation.x2 = x2;
    operation.y2 = y2;
}

void RecordingPrintSurface::endPage() {
    record(PrintOperation::Kind::EndPage);
    ++m_page;
}

void RecordingPrintSurface::endDoc() {
    // The document begins with its first output: one the printer refused, or
    // one that was stopped before any output, never began and is not ended.
    if (m_ended || m_fail || m_operations.empty())
        return;
    record(PrintOperation::Kind::EndDoc);
    m_ended = true;
}

std::vector<PrintOperation> RecordingPrintSurface::texts() const {
    std::vector<PrintOperation> result;
    for (const PrintOperation& operation : m_operations) {
        if (operation.kind == PrintOperation::Kind::Text)
            result.push_back(operation);
    }
    return result;
}

std::vector<PrintOperation> RecordingPrintSurface::lines() const {
    std::vector<PrintOperation> result;
    for (const PrintOperation& operation : m_operations) {
        if (operation.kind == PrintOperation::Kind::Line)
            result.push_back(operation);
    }
    return result;
}

} // namespace sorobe
