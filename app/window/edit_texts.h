#pragma once

#include <QString>

// Texts of undo and unsaved changes, in both languages (language 1 = English).
namespace EditTexts {

QString layerClearedHint(int language);  // after "Clear All"
QString closeTitle(int language);
QString closeQuestion(int unsaved, int language);
QString saveButton(int language);
QString discardButton(int language);
QString cancelButton(int language);
QString discardAction(int language);  // "Discard changes"
QString discardQuestion(int unsaved, int language);
QString discardIncomplete(int language);
// The save button's caption with the number of records waiting; the caption
// alone when nothing waits. Any count a previous call added is replaced.
QString saveCaption(const QString& shownCaption, int waiting);

}  // namespace EditTexts
