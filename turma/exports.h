#pragma once
#include <QString>
#include <QStringList>

#include <string_view>

#include "turma/class_data.h"

// Where the class report writes its exports (CSV, PDF), from the window and the command line:
// never over a student's history, and never a half-written file.
namespace tecladim::turma {

// Why `output` may not be written, in Portuguese; empty when it may. An output named like a
// history ("Exercicio.xml") or results file ("Simulados.xml"), or that is one of the files
// read, is refused: an export written there would replace a student's work.
QString RefusedOutputText(const QString& output, const ClassData& data);

// The opened folders that hold no history at all: not "a class with no work", a wrong folder.
QStringList FoldersWithoutHistory(const ClassData& data);
// "nenhum histórico encontrado em PASTA".
QString NoHistoryText(const QString& folder);

// Writes `bytes` to `name` through a temporary file renamed into place, so a failure leaves
// any older file as it was and never a truncated one.
bool WriteWhole(const QString& name, std::string_view bytes);

}  // namespace tecladim::turma
