#include "testing/Presentation.h"

namespace {

// A carriage return and a line feed between two pieces of an instruction text.
constexpr const char16_t* CRLF = u"\r\n";

const char16_t* const EnglishGeneral[] = {
    u"General Instructions",
    CRLF,
    CRLF,
    u"Many statements in this inventory are personal.  Your answers will be considered ",
    u"confidential.  Answer each statement truthfully and honestly.  Your court ",
    u"records may be used to check your answers.  Any dishonesty will likely ",
    u"be detected.",
    CRLF,
    CRLF,
    u"A series of questions will be presented.  Read each statement carefully and ",
    u"choose the answer that is accurate for you.  Once your answer is selected you ",
    u"should depress the Down Arrow key to highlight the answer you selected and then ",
    u"press the Enter key.  An answer is highlighted when it has light blue around it.",
    CRLF,
    CRLF,
    u"You may use the Up and Down Arrow keys to change your answers, but be sure the answer you ",
    u"selected is highlighted before you press  the Enter key. You may also use the Tab key to ",
    u"have the question repeated.",
    CRLF,
    CRLF,
    u"Alcohol or drinking refers to beer, wine and other liquor.  Drugs refers to both ",
    u"prescription drugs and non-prescription drugs like marijuana (pot), cocaine ",
    u"(coke), crack, amphetamines, barbiturates and heroin.",
    CRLF,
    CRLF,
    u"If you have any questions, ask the  testing supervisor for help.  When you understand these ",
    u"instructions, you may begin. Press the Enter key to begin.",
};

const char16_t* const EnglishSection1[] = {
    u"The statements in this section are to be answered TRUE or FALSE.",
    CRLF,
    CRLF,
    u"If a statement is TRUE highlight \"True\" then press Enter.",
    CRLF,
    CRLF,
    u"If a statement is FALSE highlight \"False\" then press Enter.",
    CRLF,
    CRLF,
    u"     Press Enter to begin.",
};

const char16_t* const EnglishSection2[] = {
    u"The statements in this section describe you or your situation. Highlight ",
    u"the answer (1, 2, 3 or 4) that is accurate for you, then press Enter. ",
    CRLF,
    CRLF,
    u"     Press Enter to begin.",
};

const char16_t* const SpanishGeneral[] = {
    u"Instrucciones",
    CRLF,
    u"     Varias oraciones que aparecen en este cuaderno son de carácter íntimo.  ",
    u"Sus respuestas se mantendrán en secreto. Conteste cada oración de forma ",
    u"veraz y honesta. Se pudiera recurrir a sus expedientes judiciales ",
    u"para confirmar sus respuestas. De seguro se detectará cualquier ",
    u"deshonestidad.",
    CRLF,
    u"     Se le van a presentar varias preguntas. Lea cada oración con ",
    u"cuidado y escoja la contestación que más le acierte a usted. Una vez usted ",
    u"haya escogido su contestación, debe usted apretar la tecla con la flecha ",
    u"Hacia Abajo para así iluminar la contestación que usted ha escogido. ",
    u"Y luego apriete la tecla «Enter». La contestación se ilumina cuando tiene ",
    u"color azul claro brillando alrededor de ella.",
    CRLF,
    u"     Usted puede usar las flechas Hacia Arriba y Hacia Abajo en sus teclas ",
    u"para cambiar las contestaciones. Pero asegúrese de que la contestación que ",
    u"usted escoja esté iluminada antes de que usted apriete la tecla «Enter». ",
    u"Además, usted puede utilizar la tecla «Tab» para que le repitan la ",
    u"pregunta.",
    CRLF,
    u"     «El licor» o «la bebida» implica cerveza, vino u otros destilados. ",
    u"«Las drogas» significa tanto las recetadas como las sancionadas, tales ",
    u"como: la marihuana (fuma o mota), cocaína (coca o perico), «crack» (piedra), ",
    u"anfetaminas, barbitúricos y heroína.",
    CRLF,
    u"     Si tuviera alguna duda, pregúntele al encargado de administrar la prueba ",
    u"para que le ayude. Cuando entienda bien estas instrucciones, puede comenzar. ",
    u"Oprima la tecla «Enter» para comenzar.",
};

const char16_t* const SpanishSection1[] = {
    u"Las oraciones de esta sección deben contestarse con «Cierto» o ",
    u"«Falso». Si la oración es cierta, ilumine el área que ",
    u"dice «Cierto» y entonces apriete «Enter». Si la oración es falsa, ",
    u"ilumine el  área que dice «Falso» y entonces apriete «Enter». ",
    u"Oprima la tecla «Enter» para comenzar.",
};

const char16_t* const SpanishSection2[] = {
    u"Las oraciones de esta sección deben describir su persona o circunstancias. ",
    u"Ilumine el número de la contestación que usted escoja y que más le acierte: ",
    u"1, 2, 3 ó 4. Luego oprima la tecla «Enter».",
};

template <std::size_t N>
QString Join(const char16_t* const (&pieces)[N])
{
    QString text;
    for (const char16_t* piece : pieces)
        text += QString::fromUtf16(piece);
    return text;
}

}  // namespace

bool IsSpanishLanguage(const QString& language) { return language.toUpper() == QLatin1String("SPANISH"); }

QString PresentationCaption(const QString& language)
{
    return IsSpanishLanguage(language) ? QStringLiteral("Presentación de preguntas")
                                       : QStringLiteral("Question Presentation");
}

QString QuestionFrameCaption(const QString& language)
{
    return IsSpanishLanguage(language) ? QStringLiteral("Pregunta") : QStringLiteral("Question");
}

QString AnswerFrameCaption(const QString& language)
{
    return IsSpanishLanguage(language) ? QStringLiteral("Escoja su respuesta") : QStringLiteral("Choose Answer");
}

QString InstructionText(const QString& language, int section)
{
    const bool spanish = IsSpanishLanguage(language);
    switch (section) {
    case 0: return spanish ? Join(SpanishGeneral) : Join(EnglishGeneral);
    case 1: return spanish ? Join(SpanishSection1) : Join(EnglishSection1);
    case 2: return spanish ? Join(SpanishSection2) : Join(EnglishSection2);
    default: return QString();
    }
}

QString InstructionsStatusText(const QString& language)
{
    return IsSpanishLanguage(language) ? QStringLiteral("Oprima la tecla «Enter» para seguir.")
                                       : QStringLiteral("When ready press Enter to continue.");
}

QString QuestionStatusText(const QString& language)
{
    if (IsSpanishLanguage(language))
        return QStringLiteral("Oprima las teclas de flechas Hacia Arriba o Hacia Abajo para iluminar su respuesta. "
                              "Luego oprima la tecla «Enter». Oprima la tecla «F10» para ver la pregunta anterior.");
    return QStringLiteral("Use Up or Down arrow keys to highlight answer, then press Enter. "
                          "Press F10 to go back to previous question.");
}

QString AnswerStatusText(const QString& language, bool audioOn)
{
    if (IsSpanishLanguage(language))
        return QStringLiteral("Ilumine la respuesta que usted escoja y luego oprima la tecla «Enter».");
    return audioOn ? QStringLiteral("Press Enter to select this answer. Press Tab or Arrows to hear question again.")
                   : QStringLiteral("Press Enter to select this answer.");
}

QString AudioFileName(const QString& baseName) { return baseName.trimmed() + QStringLiteral(".wav"); }

QString SoundFolder(const QString& sndPath, const QString& language)
{
    return sndPath + QStringLiteral("/ZEPSF/sound/") + language + QLatin1Char('/');
}

QString InstructionSound(int section) { return QStringLiteral("Inst%1.wav").arg(section); }

ItemSequence::ItemSequence(QList<QuestionItem> items, int sectionEnd, int lastItem)
    : items_(std::move(items)), sectionEnd_(sectionEnd), lastItem_(lastItem)
{
}

const QuestionItem& ItemSequence::Record() const
{
    static const QuestionItem none;
    return position_ >= 0 && position_ < items_.size() ? items_[position_] : none;
}

ItemSequence::Next ItemSequence::GetNextQuestion()
{
    if (FirstItem) {
        CurrentItem = 1;
        FirstItem = false;
    } else {
        ++CurrentItem;
    }
    if (CurrentItem > lastItem_ && !GoingBack)
        return Next::FinishTest;
    if (CurrentItem > 1) {
        ++position_;
        CurrentItem = Record().ID;
    }
    if (!GoingBack && CurrentItem == sectionEnd_ + 1)
        return Next::ShowItemAfterInstructions;
    return Next::ShowItem;
}

ItemSequence::Back ItemSequence::GoBack()
{
    if (Record().ID == 1 && position_ >= 0)
        return Back::Beep;
    if (position_ < 0) {
        position_ = 0;
        return Back::Beep;
    }
    if (--position_ < 0) {
        position_ = 0;
        return Back::Beep;
    }
    // One row further back, so that moving forward one row lands on the item before.
    --position_;
    GoingBack = true;
    GetNextQuestion();
    GoingBack = false;
    return Back::ShowItem;
}

void ItemSequence::StayOnLastItem() { CurrentItem = Record().ID; }

void ItemSequence::ChooseAnswer(int index)
{
    const int item = Record().ID;
    if (item >= 1 && item < int(ItemAnswers.size()))
        ItemAnswers[item] = qint16(index + 1);
}

QString AnswerString(const std::array<qint16, 65>& itemAnswers, int lastItem)
{
    QString answers;
    for (int item = 1; item <= lastItem && item < int(itemAnswers.size()); ++item)
        answers += QString::number(itemAnswers[item]).right(1);
    return answers;
}

QString CheckTestItems(const QList<QuestionItem>& items, int lastItem)
{
    if (items.size() != lastItem)
        return QStringLiteral("The table holds %1 items instead of %2.").arg(items.size()).arg(lastItem);
    for (int i = 0; i < items.size(); ++i) {
        if (items[i].ID != i + 1)
            return QStringLiteral("Row %1 holds item %2 where item %3 belongs.").arg(i + 1).arg(items[i].ID).arg(i + 1);
        if (items[i].Answer[0].isEmpty() || items[i].Answer[1].isEmpty())
            return QStringLiteral("Item %1 has fewer than two answers.").arg(i + 1);
    }
    return QString();
}
