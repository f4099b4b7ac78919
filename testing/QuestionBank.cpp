#include "testing/QuestionBank.h"

#include <sqlite3.h>

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

#include "base/MsgBox.h"
#include "base/Program.h"

namespace {

// The connection used when start-up has not named one (tools, tests of the bank alone).
constexpr const char* FallbackConnection = "MainWorkspace";
// Writing a bank uses a connection of its own, so a form may keep the bank open meanwhile.
constexpr const char* WriterConnection = "QuestionBankWriter";

const QStringList& LanguageNames()
{
    static const QStringList names{QStringLiteral("English"), QStringLiteral("Spanish")};
    return names;
}

// The longest item text is a few hundred characters; a field is refused past this.
constexpr int MaxFieldLength = 4000;
// No value the bank hands over is larger than this, in bytes: SQLite refuses it before
// loading it, so a huge value costs neither the memory nor the time to read it.
constexpr int MaxValueBytes = 1 << 20;
// SQLite's code for a value over that limit.
const QString TooBigCode = QStringLiteral("18");
// Rows read from a language table: one more than the test has items, enough to tell that a
// table holds too many without going through a table of any size.
constexpr int MaxRows = AnswerCount + 1;

void LimitValueLength(const QSqlDatabase& db)
{
    const QVariant handle = db.driver()->handle();
    if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0)
        if (auto* sqlite = *static_cast<sqlite3* const*>(handle.constData()))
            sqlite3_limit(sqlite, SQLITE_LIMIT_LENGTH, MaxValueBytes);
}

const QStringList& ItemFieldNames()
{
    static const QStringList names{
        QStringLiteral("ID"),           QStringLiteral("TestQuestion"), QStringLiteral("QuestionAudio"),
        QStringLiteral("ANSWER1"),      QStringLiteral("ANSWER2"),      QStringLiteral("ANSWER3"),
        QStringLiteral("ANSWER4"),      QStringLiteral("ANSWER5"),      QStringLiteral("ChoiceAudio1"),
        QStringLiteral("ChoiceAudio2"), QStringLiteral("ChoiceAudio3"), QStringLiteral("ChoiceAudio4"),
        QStringLiteral("ChoiceAudio5")};
    return names;
}

QString QuotedName(QString name)
{
    name.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + name + QLatin1Char('"');
}

QString FieldText(const QSqlQuery& query, const QSqlRecord& record, const QString& field)
{
    const int index = record.indexOf(field);  // field names are not case-sensitive here
    if (index < 0)
        return {};
    const QVariant value = query.value(index);
    return value.isNull() ? QString() : value.toString();
}

QVariant TextOrNull(const QString& text)
{
    return text.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(text);
}

}  // namespace

bool IsLanguageTable(const QString& tableName) { return LanguageNames().contains(tableName, Qt::CaseSensitive); }

QuestionBank::QuestionBank(const QString& path)
    : path_(path),
      connection_(program().MainWorkspace.isEmpty() ? QString::fromLatin1(FallbackConnection) : program().MainWorkspace)
{
    if (!QFileInfo(path_).isFile()) {
        error_ = QStringLiteral("The question bank %1 does not exist.").arg(path_);
        return;
    }
    if (QSqlDatabase::contains(connection_)) {
        error_ =
            QStringLiteral("The question bank %1 cannot be opened: another question bank is still open.").arg(path_);
        return;
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
        db.setDatabaseName(path_);
        // Read-only, so that a mistyped path or a damaged file is never turned into an empty bank.
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open()) {
            error_ = QStringLiteral("The question bank %1 cannot be opened: %2").arg(path_, db.lastError().text());
        } else {
            LimitValueLength(db);
            // SQLite opens any file; only the first read tells whether it is a database.
            QSqlQuery probe(db);
            if (!probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
                error_ = QStringLiteral("The question bank %1 cannot be read: %2").arg(path_, probe.lastError().text());
            else
                open_ = true;
        }
        if (!open_)
            db.close();
    }
    // The connection exists exactly while the bank is open.
    if (!open_)
        QSqlDatabase::removeDatabase(connection_);
}

QuestionBank::~QuestionBank()
{
    if (!open_)
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(connection_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connection_);
}

QStringList QuestionBank::TableNames()
{
    QStringList names;
    if (!open_)
        return names;
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    // No ordering clause: the order is the database's own, which decides the language slots.
    if (!query.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' "
                                   "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\'"))) {
        error_ = QStringLiteral("The question bank %1 cannot be read: %2").arg(path_, query.lastError().text());
        return names;
    }
    while (query.next())
        names << query.value(0).toString();
    error_.clear();
    return names;
}

QStringList QuestionBank::LanguageTables()
{
    const QStringList names = TableNames();
    QStringList languages;
    for (const QString& language : LanguageNames())
        if (names.contains(language, Qt::CaseSensitive))
            languages << language;
    return languages;
}

bool QuestionBank::ReadLanguage(const QString& table, QList<QuestionItem>& items)
{
    items.clear();
    if (!open_)
        return false;
    // SQLite finds "english" when asked for "English"; a language is only its exact name.
    const QStringList names = TableNames();
    if (!error_.isEmpty())
        return false;
    if (!names.contains(table, Qt::CaseSensitive)) {
        error_ = QStringLiteral("The question bank %1 has no table %2.").arg(path_, table);
        return false;
    }
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    auto tooLongValue = [&] {
        error_ = QStringLiteral("The question bank %1: table %2 holds a value longer than %3 characters.")
                     .arg(path_, table)
                     .arg(MaxFieldLength);
        return false;
    };
    auto failRead = [&](const QSqlQuery& q) {
        if (q.lastError().nativeErrorCode() == TooBigCode)
            return tooLongValue();
        error_ = QStringLiteral("The question bank %1 cannot be read: %2").arg(path_, q.lastError().text());
        return false;
    };
    // Only the first rows are ever looked at, and of them only the item's own columns.
    auto firstRows = [&](const QStringList& columns) {
        return QStringLiteral("(SELECT %1 FROM %2 LIMIT %3)")
            .arg(columns.join(QStringLiteral(", ")), QuotedName(table))
            .arg(MaxRows);
    };
    // The columns by name, learnt without reading a row.
    QSqlQuery columns(db);
    if (!columns.exec(QStringLiteral("SELECT * FROM ") + QuotedName(table) + QStringLiteral(" LIMIT 0")))
        return failRead(columns);
    QStringList fields;
    for (const QString& name : ItemFieldNames()) {
        const int index = columns.record().indexOf(name);  // not case-sensitive, like the database
        if (index >= 0)
            fields << QuotedName(columns.record().fieldName(index));
    }
    if (columns.record().indexOf(QStringLiteral("ID")) < 0) {
        error_ = QStringLiteral("The question bank %1: table %2 has no field ID.").arg(path_, table);
        return false;
    }
    columns.finish();

    // A table of more rows than the test has items is refused before any row is read.
    QSqlQuery count(db);
    if (!count.exec(QStringLiteral("SELECT count(*) FROM ") + firstRows({QStringLiteral("1")})) || !count.next())
        return failRead(count);
    if (count.value(0).toInt() > AnswerCount) {
        error_ = QStringLiteral("The question bank %1: table %2 holds more rows than the test's %3 items.")
                     .arg(path_, table)
                     .arg(AnswerCount);
        return false;
    }
    count.finish();

    // Only the item's own columns are read, and only once the database has said that none
    // of them is longer than any item needs: a damaged or hostile bank could otherwise hand
    // over gigabytes.
    QStringList tooLong;
    for (const QString& field : fields)
        tooLong << QStringLiteral("length(%1) > %2").arg(field).arg(MaxFieldLength);
    QSqlQuery size(db);
    if (!size.exec(QStringLiteral("SELECT 1 FROM ") + firstRows(fields) + QStringLiteral(" WHERE ") +
                   tooLong.join(QStringLiteral(" OR ")) + QStringLiteral(" LIMIT 1")))
        return failRead(size);
    if (size.next())
        return tooLongValue();
    if (size.lastError().isValid())
        return failRead(size);
    size.finish();

    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT * FROM ") + firstRows(fields)))
        return failRead(query);
    const QSqlRecord record = query.record();
    while (query.next()) {
        QuestionItem item;
        item.ID = FieldText(query, record, QStringLiteral("ID")).toInt();
        item.TestQuestion = FieldText(query, record, QStringLiteral("TestQuestion"));
        item.QuestionAudio = FieldText(query, record, QStringLiteral("QuestionAudio")).trimmed();
        for (int i = 0; i < 5; ++i) {
            item.Answer[i] = FieldText(query, record, QStringLiteral("ANSWER%1").arg(i + 1));
            item.ChoiceAudio[i] = FieldText(query, record, QStringLiteral("ChoiceAudio%1").arg(i + 1)).trimmed();
        }
        items.append(item);
    }
    if (query.lastError().isValid()) {
        items.clear();
        return failRead(query);
    }
    error_.clear();
    return true;
}

void ShowQuestionBankError(const QString& text)
{
    MsgBox::Show(text, MsgBox::Buttons::OkOnly, MsgBox::Icon::Critical, QStringLiteral("Question Bank Error"));
}

bool CreateQuestionBank(const QString& path, const QList<QPair<QString, QList<QuestionItem>>>& tables, QString* error)
{
    QString failure;
    if (QFileInfo::exists(path) && !QFile::remove(path))
        failure = QStringLiteral("Cannot replace %1.").arg(path);
    const QString connection = QString::fromLatin1(WriterConnection);
    if (failure.isEmpty()) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        if (!db.open()) {
            failure = QStringLiteral("Cannot create %1: %2").arg(path, db.lastError().text());
        } else {
            QSqlQuery query(db);
            auto fail = [&](const QSqlError& reason) {
                failure = QStringLiteral("Cannot write %1: %2").arg(path, reason.text());
                return false;
            };
            auto write = [&]() {
                if (!db.transaction())
                    return fail(db.lastError());
                for (const auto& [name, items] : tables) {
                    // ID is a plain column, not the row key, so the rows keep the order given here.
                    if (!query.exec(
                            QStringLiteral("CREATE TABLE %1 (ID INTEGER, TestQuestion TEXT, QuestionAudio TEXT, "
                                           "ANSWER1 TEXT, ANSWER2 TEXT, ANSWER3 TEXT, ANSWER4 TEXT, ANSWER5 TEXT, "
                                           "ChoiceAudio1 TEXT, ChoiceAudio2 TEXT, ChoiceAudio3 TEXT, "
                                           "ChoiceAudio4 TEXT, ChoiceAudio5 TEXT)")
                                .arg(QuotedName(name))))
                        return fail(query.lastError());
                    if (!query.prepare(QStringLiteral("INSERT INTO %1 VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                                           .arg(QuotedName(name))))
                        return fail(query.lastError());
                    for (const QuestionItem& item : items) {
                        query.addBindValue(item.ID);
                        query.addBindValue(item.TestQuestion);
                        query.addBindValue(TextOrNull(item.QuestionAudio));
                        for (const QString& answer : item.Answer)
                            query.addBindValue(TextOrNull(answer));
                        for (const QString& audio : item.ChoiceAudio)
                            query.addBindValue(TextOrNull(audio));
                        if (!query.exec())
                            return fail(query.lastError());
                    }
                }
                if (!db.commit())
                    return fail(db.lastError());
                return true;
            };
            if (!write())
                db.rollback();
            query.finish();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    if (!failure.isEmpty()) {
        QFile::remove(path);
        if (error)
            *error = failure;
        return false;
    }
    if (error)
        error->clear();
    return true;
}
