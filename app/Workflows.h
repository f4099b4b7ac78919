#pragma once
// The workflows that lead the operator through the forms of several floors: a client's
// information and court history, then the test on screen or the answers from the sheet.
class QWidget;
class frmSelectEntryMethod;

// The first two forms of every client workflow: client information, then, when it was
// accepted, court history. True when both were accepted (InputAccepted tells the same).
bool ShowClientInfoAndCourtHistory(QWidget* parent);

// "Edit Current Client": client information, court history, then the answers, each only
// when the one before was accepted.
void RunEditCurrentClient(QWidget* parent);

// "Add New Client": the entry method form, then the workflow of the method chosen on it,
// with the form behind the workflow's forms until it ends.
void RunAddNewClient(QWidget* parent);

// Client information, court history, language, the test, then the secret code.
void AdministerTest(frmSelectEntryMethod& background);
// Client information, court history, then the answers from the answer sheet.
void EnterFromAnswerSheet(frmSelectEntryMethod& background);
