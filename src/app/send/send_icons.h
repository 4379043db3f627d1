#pragma once

#include <QIcon>

// The send tool bar's glyphs, drawn at run time so the window needs no image files.
QIcon SendLineIcon(); // an arrow leaving a line
QIcon LoopSendIcon(); // a circular arrow
QIcon TriggerSendIcon(); // a lightning bolt
QIcon ChecksumIcon(); // a sigma
QIcon AsciiSendIcon(); // the letter A over a baseline
