#include "tools/DemoClients.h"

namespace {

// Answers drawn from a small generator so that every client answers differently but the
// demonstration disk is the same each time it is made.
QString Answers(quint32 seed, int truePercent, int omitted)
{
    QString answers;
    for (int item = 1; item <= 64; ++item) {
        seed = seed * 1103515245u + 12345u;
        const int roll = int((seed >> 16) % 100);
        if (item <= 60)
            answers += roll < truePercent ? QLatin1Char('1') : QLatin1Char('2');
        else
            answers += QChar(u'1' + (roll % 4));
    }
    for (int i = 0; i < omitted; ++i)
        answers[7 + i * 9] = QLatin1Char('0');
    return answers;
}

ClientRecord Client(const char* name, const char* ssn, const char* age, const char* gender, const char* race,
                    const char* education, const char* marital, const char* testDate, const char* birth,
                    const QStringList& court, const QString& answers)
{
    ClientRecord r;
    r.Name = QString::fromUtf8(name);
    r.SSN = ssn;
    r.Age = age;
    r.Gender = gender;
    r.Race = race;
    r.Education = education;
    r.Marital = marital;
    r.TestDate = testDate;
    r.DateOfBirth = birth;
    r.AgeAtFirstConviction = court[0];
    r.MisdemeanorConvictions = court[1];
    r.FelonyConvictions = court[2];
    r.TimesOnProbation = court[3];
    r.ProbationRevocations = court[4];
    r.AlcoholConvictions = court[5];
    r.TimesOnParole = court[6];
    r.ParoleRevocations = court[7];
    r.TimesJail = court[8];
    r.TimesPrison = court[9];
    r.YearsJailAndPrison = court[10];
    r.DrugConvictions = court[11];
    r.Answers = answers;
    r.EditCount = "0";
    r.NameDeleted = "0";
    return r;
}

}  // namespace

QList<ClientRecord> DemoClients()
{
    using L = QStringList;
    return {
        Client("Maria Alvarez", "412-55-0193", "34", "2", "3", "12", "2", "10/05/2026", "03/14/1992",
               L{"19", "2", "0", "1", "0", "1", "0", "0", "1", "0", "0", "0"}, Answers(11, 25, 0)),
        Client("James O'Neill", "305-44-8812", "47", "1", "1", "10", "3", "10/12/2026", "07/02/1979",
               L{"16", "9", "3", "4", "2", "5", "1", "1", "6", "1", "4", "1"}, Answers(23, 55, 0)),
        Client("Dana Smith-Jones", "N", "22", "2", "2", "14", "1", "10/19/2026", "N",
               L{"21", "1", "0", "1", "0", "0", "0", "0", "0", "0", "0", "2"}, Answers(37, 35, 1)),
        Client("Wei Chen", "598-21-4470", "29", "1", "4", "16", "2", "11/02/2026", "12/30/1996",
               L{"N", "N", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0"}, Answers(41, 15, 0)),
        Client("Renée Dubois", "221-09-3318", "58", "2", "6", "8", "5", "11/09/2026", "01/21/1968",
               L{"40", "1", "0", "1", "0", "1", "0", "0", "0", "0", "0", "0"}, Answers(53, 97, 0)),
        Client("Robert Brown", "N", "N", "0", "0", "N", "0", "11/16/2026", "N",
               L{"N", "N", "N", "N", "N", "N", "N", "N", "N", "N", "N", "N"}, Answers(67, 30, 6)),
    };
}
