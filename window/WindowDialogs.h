#pragma once

#include <QString>

#include <functional>

class QWidget;

// The questions and alerts a window puts to the user. Each shows its dialog
// unless a test has put an answer in its place.

enum class SaveChangesAnswer { kSave, kDontSave, kCancel };
using SaveChangesQuestion = std::function<SaveChangesAnswer(QWidget* window, const QString& documentName)>;
void SetSaveChangesQuestion(SaveChangesQuestion question);  // null: the dialog
SaveChangesAnswer AskSaveChanges(QWidget* window, const QString& documentName);

// An empty answer means the user cancelled.
using FileNameQuestion = std::function<QString(QWidget* window, bool forSaving, const QString& suggestion)>;
void SetFileNameQuestion(FileNameQuestion question);  // null: the file dialog
QString AskFileName(QWidget* window, bool forSaving, const QString& suggestion);
// A save dialog for an export, with its title and the one type of file it
// offers, as a filter such as "PNG pictures (*.png)"; the question above
// answers it too when a test has put one in.
QString AskExportFileName(QWidget* window, const QString& title, const QString& filter, const QString& suggestion);

// The message's text, paragraphs on lines of their own.
QString MessageText(int messageId);

using AlertShower = std::function<void(int messageId, const QString& text)>;
void SetAlertShower(AlertShower shower);  // null: a message box

// A note of the window's own, not a numbered message; the alert shower
// gets it as message 0.
void ShowNote(const QString& text);

// Shows the message's text, then the reason, if any, as a paragraph of its
// own, and waits for the user; after running out of memory (36, 40) every
// window redraws its math and recomputes its graphs.
void ReportError(int messageId, const QString& reason = QString());
