// zeprandomclients SEED COUNT FILE — writes COUNT random client records (1..51) to FILE,
// the same records for the same seed. The clients are made to reach the corners of the
// report: omitted and out-of-range answers, invalid tests, court values "N" and "-1",
// unknown codes, long names with accents and control bytes. tools/compare-reports.sh uses
// them to compare the reports of two builds.
#include <cstdio>
#include <random>

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include "base/ClientRecord.h"

namespace {

class RandomClients {
public:
    explicit RandomClients(unsigned seed) : rng_(seed) {}

    ClientRecord Next()
    {
        ClientRecord r;
        r.Name = Name();
        r.SSN = OneOf({QString(), QStringLiteral("123-45-6789"),
                       QStringLiteral("%1-%2-%3")
                           .arg(Pick(0, 999), 3, 10, QLatin1Char('0'))
                           .arg(Pick(0, 99), 2, 10, QLatin1Char('0'))
                           .arg(Pick(0, 9999), 4, 10, QLatin1Char('0'))});
        r.Age = Chance(10) ? OneOf({QString(), QStringLiteral("N"), QStringLiteral("-1"), QStringLiteral("999")})
                           : QString::number(Pick(14, 90));
        r.Gender = OneOf({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("0"), QStringLiteral("3"),
                          QStringLiteral("9"), QString(), QStringLiteral("N")});
        r.Race = Chance(8) ? OneOf({QString(), QStringLiteral("N"), QStringLiteral("9")}) : QString::number(Pick(0, 7));
        r.Education = Chance(8) ? OneOf({QString(), QStringLiteral("N"), QStringLiteral("-1"), QStringLiteral("99")})
                                : QString::number(Pick(0, 20));
        r.Marital =
            Chance(8) ? OneOf({QString(), QStringLiteral("N"), QStringLiteral("9")}) : QString::number(Pick(0, 6));
        r.TestDate = Chance(10) ? QString() : Date(2020, 2026);
        r.DateOfBirth = Chance(10) ? QString() : Date(1930, 2010);
        for (auto* field :
             {&r.AgeAtFirstConviction, &r.MisdemeanorConvictions, &r.FelonyConvictions, &r.TimesOnProbation,
              &r.ProbationRevocations, &r.AlcoholConvictions, &r.TimesOnParole, &r.ParoleRevocations, &r.TimesJail,
              &r.TimesPrison, &r.YearsJailAndPrison, &r.DrugConvictions})
            *field = Court(field == &r.AgeAtFirstConviction ? 60 : 12);
        r.Answers = Answers();
        r.EditCount = QString::number(Pick(0, 3));
        r.NameDeleted = Chance(20) ? QStringLiteral("1") : QStringLiteral("0");
        return r;
    }

private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
    bool Chance(int oneIn) { return Pick(1, oneIn) == 1; }
    QString OneOf(std::initializer_list<QString> texts) { return *(texts.begin() + Pick(0, int(texts.size()) - 1)); }

    QString Date(int firstYear, int lastYear)
    {
        return QStringLiteral("%1/%2/%3")
            .arg(Pick(1, 12), 2, 10, QLatin1Char('0'))
            .arg(Pick(1, 28), 2, 10, QLatin1Char('0'))
            .arg(Pick(firstYear, lastYear));
    }

    QString Name()
    {
        static const QStringList first = {QStringLiteral("José"),     QStringLiteral("Zoë"),
                                          QStringLiteral("François"), QStringLiteral("Ana"),
                                          QStringLiteral("Björn"),    QStringLiteral("Renée"),
                                          QStringLiteral("John"),     QStringLiteral("Maximilianus"),
                                          QStringLiteral("Øyvind"),   QStringLiteral("Çelik")};
        static const QStringList last = {QStringLiteral("Müller"),
                                         QStringLiteral("Nuñez"),
                                         QStringLiteral("Smith"),
                                         QStringLiteral("Ångström"),
                                         QStringLiteral("O'Brien-Castellanos"),
                                         QStringLiteral("Dvořák"),
                                         QStringLiteral("Œuvre"),
                                         QStringLiteral("Lee"),
                                         QStringLiteral("Señor€"),
                                         QStringLiteral("Þórsdóttir")};
        switch (Pick(0, 9)) {
        case 0: return QString();
        case 1: return QStringLiteral("Esc\x1b[2JName\fFeed");
        case 2: return QString(25, QChar(0xC9));  // a full-width name of accented capitals
        case 3: return QStringLiteral("  ") + first.at(Pick(0, 9)) + QStringLiteral("  ");
        default: return last.at(Pick(0, 9)) + QStringLiteral(", ") + first.at(Pick(0, 9));
        }
    }

    QString Court(int high)
    {
        switch (Pick(0, 11)) {
        case 0: return QStringLiteral("N");
        case 1: return QStringLiteral("-1");
        case 2: return QString();
        case 3:
            return OneOf({QStringLiteral("1."), QStringLiteral(" 2"), QStringLiteral("2 "), QStringLiteral("-"),
                          QStringLiteral("99"), QStringLiteral("x"), QStringLiteral("+3"), QStringLiteral("0")});
        case 4: return QString::number(Pick(0, 99));
        default: return QString::number(Pick(0, high));
        }
    }

    QString Answers()
    {
        // Each client leans one way: how often it omits an item and how often it answers True.
        const int omitOneIn =
            OneOf({QStringLiteral("0"), QStringLiteral("40"), QStringLiteral("12"), QStringLiteral("4")}).toInt();
        const int truePercent = Chance(4) ? Pick(90, 100) : Pick(10, 90);
        QString answers;
        for (int item = 1; item <= AnswerCount; ++item) {
            if (omitOneIn > 0 && Chance(omitOneIn)) {
                answers += Chance(3) ? QLatin1Char(' ') : QLatin1Char('0');
            } else if (Chance(60)) {
                answers += OneOf({QStringLiteral("3"), QStringLiteral("7"), QStringLiteral("9"), QStringLiteral("x")});
            } else if (item <= 60) {
                answers += Pick(1, 100) <= truePercent ? QLatin1Char('1') : QLatin1Char('2');
            } else {
                answers += QString::number(Pick(1, 4));
            }
        }
        return answers;
    }

    std::mt19937 rng_;
};

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    bool seedOk = false, countOk = false;
    const unsigned seed = args.size() == 3 ? args[0].toUInt(&seedOk) : 0;
    const int count = args.size() == 3 ? args[1].toInt(&countOk) : 0;
    if (!seedOk || !countOk || count < 1 || count > 51) {
        std::fprintf(stderr, "usage: zeprandomclients SEED COUNT(1..51) FILE\n");
        return 2;
    }
    RandomClients clients(seed);
    QByteArray records;
    for (int n = 0; n < count; ++n)
        records += RecordToBytes(clients.Next());
    QFile file(args[2]);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(records) != records.size()) {
        std::fprintf(stderr, "zeprandomclients: cannot write %s: %s\n", qPrintable(args[2]),
                     qPrintable(file.errorString()));
        return 1;
    }
    return 0;
}
