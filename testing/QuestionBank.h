#pragma once
// The question bank: an SQLite file in the program folder holding one table per language,
// one row per test item. A form that needs it opens it for as long as the form lives and
// closes it when the form goes away; nothing keeps it open between forms.
#include <QList>
#include <QString>
#include <QStringList>

// One row of a language table. Answers and audio names an item does not have are empty.
struct QuestionItem {
    int ID = 0;
    QString TestQuestion;
    QString QuestionAudio;
    QString Answer[5];       // ANSWER1 .. ANSWER5
    QString ChoiceAudio[5];  // ChoiceAudio1 .. ChoiceAudio5
};

// Only tables named exactly like this are languages; everything else is ignored.
bool IsLanguageTable(const QString& tableName);

class QuestionBank {
public:
    // Opens the file through the connection named by MainWorkspace. The file must exist:
    // opening never creates an empty bank. Only one bank is open at a time.
    explicit QuestionBank(const QString& path);
    ~QuestionBank();  // closes the file and removes the connection
    QuestionBank(const QuestionBank&) = delete;
    QuestionBank& operator=(const QuestionBank&) = delete;

    bool IsOpen() const { return open_; }
    // Why the last operation failed, naming the file; empty after success.
    QString ErrorText() const { return error_; }

    // Table names in the order the database lists them.
    QStringList TableNames();
    // The language tables, "English" before "Spanish".
    QStringList LanguageTables();
    // All rows of one table in the table's own order. False (with ErrorText) when the table
    // is missing or unreadable.
    bool ReadLanguage(const QString& table, QList<QuestionItem>& items);

private:
    QString path_;
    QString connection_;
    bool open_ = false;
    QString error_;
};

// Tells the operator that a form cannot work because the question bank cannot be used.
void ShowQuestionBankError(const QString& text);

// Writes a question bank (used by the build and by tests). Replaces an existing file.
bool CreateQuestionBank(const QString& path, const QList<QPair<QString, QList<QuestionItem>>>& tables, QString* error);
