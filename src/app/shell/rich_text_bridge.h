#pragma once

#include "shell/rich_text.h"

#include <QString>

#include <vector>

class QPlainTextEdit;
class QTextDocument;

// Between the text views and message files: a view's document as lines of
// coloured runs, and back. Text always goes in as plain runs, never as markup.

// One line per block; one run per fragment with its colour, font and size.
RichDocument ToRichDocument(const QTextDocument &document);

// The same content still in Qt's strings: taking it is little more than a copy
// of the text, so the window's thread takes this and a worker makes the
// RichDocument (a message file of a flood holds millions of characters).
struct RichRunCopy
{
    QString Text;
    uint32_t Color = 0;
    QString Font;
    int HalfPoints = 0;
};
using RichDocumentCopy = std::vector<std::vector<RichRunCopy>>;
RichDocumentCopy CopyRichDocument(const QTextDocument &document);
RichDocument ToRichDocument(const RichDocumentCopy &copy);

// Replaces the view's whole content; the undo history starts afresh.
void LoadRichDocument(QPlainTextEdit *view, const RichDocument &document);

// Writes the view as a rich-text file, replacing the file only once it is
// complete. Raises std::system_error when it cannot be written.
void SaveViewToFile(const QPlainTextEdit *view, const QString &path);

// Replaces the view's content with a rich-text file, or with its lines when it
// is plain text. Raises std::system_error when it cannot be read.
void LoadViewFromFile(QPlainTextEdit *view, const QString &path);
