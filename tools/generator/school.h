// The records of a sample Exchange file, school by school. Every school is built
// from its own random stream, so school k is the same in files of any scale, and
// its identifiers come from ranges of its own, so they are unique in the file.
// Texts are UTF-8, as the school system holds them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mudalinx::generator {

using Record = std::vector<std::string>;  // the dato texts, by position

struct School {
  std::vector<Record> subjects;    // MATERIAS: course key, subject key, subject name
  std::vector<Record> activities;  // ACTIVIDADES: type, key, name
  std::vector<Record> employees;   // EMPLEADOS: id, F_TOMAPOS, department, surname 1, surname 2, given name
  std::vector<Record> rooms;       // DEPENDENCIAS: room code, name
  std::vector<Record> courses;     // CURSOS_DEL_CENTRO: integer course key, name
  std::vector<Record> units;       // UNIDADES: group key, group name, course key
};

// INDEX counts from 0; at most maxSchools() schools fit the identifier ranges.
School makeSchool(std::uint64_t seed, int index);
int maxSchools();

// The two school-day frames and their eight slots each, shared by every school
// so the day-and-hour tables keep their size at any scale.
std::vector<Record> timeFrames();  // JORNADAS_ESCOLARES: code, name, start date, end date
std::vector<Record> timeSlots();   // TRAMOS_HORARIOS: code, name, start minute, end minute, frame code

}  // namespace mudalinx::generator
