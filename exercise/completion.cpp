#include "exercise/completion.h"

#include <cmath>

#include "exercise/exercise_state.h"
#include "exercise/figures.h"
#include "exercise/number_text.h"
#include "history/regional.h"

namespace tecladim {
namespace {

constexpr std::u16string_view NoTarget = u"0";

// The time of day put on a date through their text forms, as the record keeps them:
// the fraction of a second is dropped.
DateTime OnDate(DateTime day, DateTime timeOfDay) {
  std::u16string text = ShortDate(day).substr(0, 10);
  text += u' ';
  text += LongTime(timeOfDay);
  if (const auto value = ParseDateTime(text)) return *value;
  throw ConversionError(text, "date and time");
}

bool CrossedMidnight(DateTime inicio, DateTime agora) { return agora < inicio; }

// A date-time value as the history keeps it: rounded to the millisecond.
DateTime AsStored(DateTime value) { return FromStamp(ToStamp(value)); }

}  // namespace

DateTime ElapsedTime(DateTime inicio, DateTime agora) {
  return CrossedMidnight(inicio, agora) ? agora + 1.0 - inicio : agora - inicio;
}

CompletionRecord MakeCompletionRecord(const CompletionInput& in) {
  const std::int32_t erros = IntegerValue(in.errorsText);
  CompletionRecord record = MakeLeftRecord(in.now, in.inicio, in.lesson);
  record.erros = erros;
  record.tempo = AsStored(record.fim) - AsStored(record.inicio);
  return record;
}

CompletionRecord MakeLeftRecord(DateTime now, DateTime inicio, int lesson) {
  CompletionRecord record;
  record.licao = lesson;
  record.data = now;
  const DateTime agora = TimeOfDayPart(now);
  const DateTime today = std::trunc(now);
  const DateTime startDay = CrossedMidnight(inicio, agora) ? today - 1.0 : today;
  record.inicio = OnDate(startDay, inicio);
  record.fim = OnDate(today, agora);
  return record;
}

CompletionReport MakeCompletionReport(const CompletionInput& in) {
  CompletionReport report;
  const DateTime agora = Agora(in);
  const Stamp elapsed = ToStamp(ElapsedTime(in.inicio, agora));
  report.auxx = LongTime(elapsed);
  const TimeOfDay t = TimeOf(elapsed);
  report.segundos = t.second + t.hour * 3600 + t.minute * 60;
  report.ttempo = in.tempo.empty() ? std::u16string(NoTarget) : std::u16string(in.tempo);
  const std::int32_t target = TargetSeconds(report.ttempo);

  std::u16string& s = report.text;
  s = ReportGreeting;
  s += u"\r\rErros: ";
  s += in.errorsText;
  s += u"\r\rInicio: ";
  s += LongTime(in.inicio);
  s += u"\rFim: ";
  s += LongTime(agora);
  s += u"\r\rTempo: ";
  s += report.auxx;
  if (target != 0) {
    s += u"\rTempo esperado: ";
    s += report.ttempo;
    s += u" segundos";
    if (report.segundos != 0) {
      s += u"\r\rPercentual tempo alcançado: ";
      s += PercentText(TargetPercent(target, report.segundos));
    }
  }
  return report;
}

}  // namespace tecladim
