#pragma once
#include <QString>

#include <cstddef>

#include "classroom/class_loader.h"
#include "classroom/class_report.h"

// What the instructor reads when a history or a folder could not be read: Portuguese first,
// worded from the kind of failure, with the reader's own text after where it adds something.
// The trainer's texts stay as the trainer shows them; only the class report words them anew.
namespace tecladim::turma {

// "Arquivo incompleto ou danificado (Mismatch in datapacket.)", "Arquivo não encontrado"…;
// empty for a student whose file was read.
QString FailureText(const classroom::Student& student);

// "Pasta não encontrada", "Sem permissão para abrir a pasta"…
QString WalkErrorText(const classroom::WalkError& error);

// "1 arquivo não pôde ser lido", "2 arquivos não puderam ser lidos".
QString UnreadableCountText(std::size_t files);

}  // namespace tecladim::turma
