#include "turma/load_errors.h"

#include "turma/class_data.h"

namespace tecladim::turma {
namespace {

// The reader's text in brackets after ours; it names the fault for whoever repairs the file.
QString WithReaderText(const QString& ours, const std::string& reader) {
  return reader.empty() ? ours : QStringLiteral("%1 (%2)").arg(ours, Text(reader));
}

QString CannotOpenText(const std::error_code& cause, const std::string& reader) {
  if (cause == std::errc::no_such_file_or_directory) return QStringLiteral("Arquivo não encontrado");
  if (cause == std::errc::permission_denied || cause == std::errc::operation_not_permitted)
    return QStringLiteral("Sem permissão para ler o arquivo");
  if (cause == std::errc::is_a_directory) return QStringLiteral("É uma pasta, não um arquivo");
  // The lock was not granted within its wait: a trainer is saving, or stuck while saving.
  if (cause == std::errc::resource_unavailable_try_again)
    return QStringLiteral("Arquivo em uso por outro programa; recarregue mais tarde");
  if (cause == std::errc::io_error) return QStringLiteral("Erro do disco ao ler o arquivo");
  return WithReaderText(QStringLiteral("Não foi possível abrir o arquivo"), cause ? cause.message() : reader);
}

}  // namespace

QString FailureText(const classroom::Student& student) {
  switch (student.failure) {
    case classroom::LoadFailure::None: break;
    case classroom::LoadFailure::CannotOpen: return CannotOpenText(student.cause, student.error);
    case classroom::LoadFailure::Damaged:
      return WithReaderText(QStringLiteral("Arquivo incompleto ou danificado"), student.error);
    case classroom::LoadFailure::NotHistory:
      return WithReaderText(QStringLiteral("Arquivo não é um histórico do Tecladim"), student.error);
  }
  return student.Failed() ? WithReaderText(QStringLiteral("Não foi possível ler o arquivo"), student.error) : QString();
}

QString WalkErrorText(const classroom::WalkError& error) {
  const std::error_code& cause = error.cause;
  if (cause == std::errc::no_such_file_or_directory) return QStringLiteral("Pasta não encontrada");
  if (cause == std::errc::not_a_directory) return QStringLiteral("Não é uma pasta");
  if (cause == std::errc::permission_denied || cause == std::errc::operation_not_permitted)
    return QStringLiteral("Sem permissão para abrir a pasta");
  if (cause == std::errc::too_many_symbolic_link_levels)
    return QStringLiteral("Atalho em ciclo: a pasta leva de volta a uma pasta acima dela");
  return WithReaderText(QStringLiteral("Não foi possível ler a pasta"), error.text);
}

QString UnreadableCountText(std::size_t files) {
  return files == 1 ? QStringLiteral("1 arquivo não pôde ser lido")
                    : QStringLiteral("%1 arquivos não puderam ser lidos").arg(files);
}

}  // namespace tecladim::turma
