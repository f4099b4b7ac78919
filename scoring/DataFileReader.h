#pragma once
// The grammar of the scoring data files: fields separated by commas or line ends, blanks
// around a field ignored, a field optionally in double quotes; a heading is a whole line.
#include <QString>
#include <QStringList>

class DataFileReader {
public:
    explicit DataFileReader(QString text) : text_(std::move(text)) {}

    bool AtEnd() const { return pos_ >= text_.size(); }
    // 1-based line of the read position, for messages.
    int LineNumber() const { return line_; }
    // 1-based line on which the last field read began.
    int FieldLine() const { return fieldLine_; }

    // The rest of the current line, its line end consumed. False at the end of the text.
    bool ReadLine(QString& line);
    // The next field. Blank lines before it are skipped, so an empty text must be written "".
    // False when the text ends before a field starts.
    bool ReadField(QString& field);

private:
    bool AtLineEnd() const;
    void SkipLineEnd();

    QString text_;
    qsizetype pos_ = 0;
    int line_ = 1;
    int fieldLine_ = 0;
};

// A text split into lines the way a line-by-line reader sees it: CR LF, CR or LF end a line
// and a last line without a line end still counts.
QStringList SplitLines(const QString& text);
