#include "export/time_frames.h"

#include <stdexcept>
#include <string_view>

#include "exchange/text.h"
#include "export/converters.h"
#include "export/integer_text.h"
#include "export/section_walk.h"
#include "export/table_rows.h"

namespace mudalinx::exporter {

using exchange::LeftPart;
using exchange::TrimBoth;

namespace {

constexpr int kDaysPerWeek = 7;
// Start minute assumed for a frame that has no slot.
constexpr int kNoFirstSlotForFirst = 0;
constexpr int kNoFirstSlotForSecond = 1440;

std::string twoDigits(int value) {
  std::string text = std::to_string(value);
  return text.size() < 2 ? "0" + text : text;
}

}  // namespace

std::string timeText(int minutes) {
  int hours = minutes / 60;
  if (minutes % 60 != 0 && minutes < 0) --hours;
  return twoDigits(hours) + ":" + twoDigits(minutes % 60);
}

FrameCodes splitSelection(const std::string& selection) {
  if (selection.size() == 2 * kFrameCodeWidth) {
    return {TrimBoth(selection.substr(0, kFrameCodeWidth)), TrimBoth(selection.substr(kFrameCodeWidth))};
  }
  return {TrimBoth(LeftPart(selection, static_cast<int>(kFrameCodeWidth))), ""};
}

namespace {

using table::FieldType;

std::vector<table::FieldDef> slotFields() {
  return {{"DIHO", FieldType::Text, 10},      {"CODDIHO", FieldType::Text, 10}, {"DIA", FieldType::Text, 20},
          {"TEXTODIA", FieldType::Text, 20},  {"HORA", FieldType::Text, 8},     {"TEXTOHOR", FieldType::Text, 15},
          {"HORADESDE", FieldType::Text, 8},  {"HORAHASTA", FieldType::Text, 8}, {"MINUTOS", FieldType::Text, 8},
          {"MARCO", FieldType::Text, 1},      {"MARCOXML", FieldType::Text, 10}};
}

table::TableDef slotTableDef() { return {"DIASHORAST", slotFields(), {}, table::Format::DBase4}; }

table::TableDef orderedSlotTableDef() {
  std::vector<table::FieldDef> fields = slotFields();
  fields.push_back({"ORDEN", FieldType::Integer, 0});
  return {"DIASHORAST2", fields, {{"ORDEN", "ORDEN"}}, table::Format::DBase4};
}

table::TableDef periodTableDef() {
  return {"PERIODOS",
          {{"CJORNADA", FieldType::Text, 10},
           {"JORNADA", FieldType::Text, 40},
           {"FECINI", FieldType::Text, 10},
           {"FECFIN", FieldType::Text, 10}},
          {},
          table::Format::DBase4};
}

// A slot's start or end minute: texts shorter than four characters get a "0" in front.
int slotMinute(const std::string& text) { return toInteger(text.size() < 4 ? "0" + text : text); }

std::string chooseFrames(ExportContext& ctx) {
  const exchange::Section frames = ctx.doc.section("JORNADAS_ESCOLARES");
  if (frames.count() == 0) throw std::runtime_error("El archivo no tiene ningún Marco Horario (JORNADAS_ESCOLARES).");
  if (frames.count() == 1) return TrimBoth(frames.record(0).value(0));
  if (!ctx.showFrameDialog) {
    throw std::runtime_error("El archivo tiene varios Marcos Horarios y no hay forma de elegirlos.");
  }
  for (;;) {
    FrameMarking marking = ctx.showFrameDialog();
    if (marking.SeleccionValida) return marking.CodigosMarcos;
  }
}

// The start minute of each code's first slot, and its frame digit.
struct FrameOrder {
  int firstStart = kNoFirstSlotForFirst;
  int secondStart = kNoFirstSlotForSecond;
  std::string firstDigit() const { return firstStart <= secondStart ? "0" : "1"; }
  std::string secondDigit() const { return firstStart <= secondStart ? "1" : "0"; }
};

FrameOrder writeSlotRows(ExportContext& ctx, table::Table& slots, const FrameCodes& codes) {
  const std::vector<SourceRecord> slotRecords = allRecords(ctx.doc, "TRAMOS_HORARIOS", ctx.report);
  FrameOrder order;
  bool firstFound = false;
  bool secondFound = false;
  for (int day = 1; day <= kDaysPerWeek; ++day) {
    int firstHours = 0;
    int secondHours = 0;
    for (const SourceRecord& record : slotRecords) {
      const std::string frame = LeftPart(record.trimmed(4), static_cast<int>(kFrameCodeWidth));
      const bool ofFirst = frame == codes.first;
      if (!ofFirst && frame != codes.second) continue;
      const int start = slotMinute(record.trimmed(2));
      const int end = slotMinute(record.trimmed(3));
      const int hour = ofFirst ? ++firstHours : ++secondHours;
      // Row "11" of a frame is its first slot: its start orders the two frames.
      if (day == 1 && hour == 1) {
        if (frame == codes.first && !firstFound) {
          order.firstStart = start;
          firstFound = true;
        }
        if (frame == codes.second && !secondFound) {
          order.secondStart = start;
          secondFound = true;
        }
      }
      slots.append();
      setTextField(slots, record, "DIHO", std::to_string(day) + std::to_string(hour));
      setTextField(slots, record, "HORA", std::to_string(hour));
      setTextField(slots, record, "DIA", std::to_string(day));
      setTextField(slots, record, "TEXTOHOR", record.trimmed(1));
      setTextField(slots, record, "CODDIHO", record.trimmed(0));
      setTextField(slots, record, "HORADESDE", timeText(start));
      setTextField(slots, record, "HORAHASTA", timeText(end));
      setTextField(slots, record, "MINUTOS", std::to_string(end - start));
      setTextField(slots, record, "MARCOXML", frame);
      postRow(slots, ctx.report);
    }
  }
  return order;
}

void writeFrameDigits(table::Table& slots, const FrameCodes& codes, const FrameOrder& order) {
  for (slots.first(); !slots.eof(); slots.next()) {
    const std::string frame = slots.text("MARCOXML");
    if (frame == codes.first) {
      slots.edit();
      slots.setText("MARCO", order.firstDigit());
      slots.post();
    } else if (frame == codes.second) {
      slots.edit();
      slots.setText("MARCO", order.secondDigit());
      slots.post();
    }
  }
}

void writePeriods(ExportContext& ctx, const FrameCodes& codes) {
  table::Table periods = table::Table::open(ctx.workspace, "PERIODOS", table::Access::Shared);
  forEachRecord(ctx.doc, "JORNADAS_ESCOLARES", ctx.report, RecordGuard::ReadEveryRecord,
                [&](const SourceRecord& record) {
                  const std::string code = record.trimmed(0);
                  if (code != codes.first && code != codes.second) {
                    const std::string slotCode = LeftPart(code, static_cast<int>(kFrameCodeWidth));
                    if (slotCode == codes.first || slotCode == codes.second) {
                      record.warn("omitido", "El Marco Horario \"" + exchange::win1252ToUtf8(code) +
                                                 "\" no tiene fila en PERIODOS: su código tiene más de 10 caracteres.");
                    }
                    return;
                  }
                  periods.append();
                  setTextField(periods, record, "CJORNADA", code);
                  setTextField(periods, record, "JORNADA", record.trimmed(1));
                  setTextField(periods, record, "FECINI", record.trimmed(2));
                  setTextField(periods, record, "FECFIN", record.trimmed(3));
                  postRow(periods, ctx.report);
                });
  periods.close();
}

}  // namespace

void convertTimeFrames(ExportContext& ctx) {
  const table::TableDef slotDef = slotTableDef();
  const table::TableDef orderedDef = orderedSlotTableDef();
  const table::TableDef periodDef = periodTableDef();
  removeOldTables(ctx.workspace, {slotDef.name, orderedDef.name, "JORNADAS"});
  table::createTable(ctx.workspace, slotDef);
  table::Table slots = table::Table::open(ctx.workspace, slotDef.name, table::Access::Shared);
  table::createTable(ctx.workspace, orderedDef);
  table::createTable(ctx.workspace, periodDef);

  const FrameCodes codes = splitSelection(chooseFrames(ctx));
  const FrameOrder order = writeSlotRows(ctx, slots, codes);
  writeFrameDigits(slots, codes, order);
  slots.close();
  writePeriods(ctx, codes);
}

}  // namespace mudalinx::exporter
