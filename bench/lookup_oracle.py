#!/usr/bin/python3
"""Checks the export's and the import's table lookups against plain scans.

The converters and the import find rows through indexes built once per run; what
they must find is the first matching row in table order. This script exports a
generated sample, runs the sample timetabler and the import, and recomputes with
straightforward nested scans over the tables as another reader (dbfread) sees them:
  - ASIGT: per MATERIAS record, the first ASIGNOMT row by upper-cased trimmed name,
    then every GRUPOST row of the record's course key;
  - CURSOST's level and studies from the level table, and GRUPOST's NIVEL, CURSO
    and DESCRIP from the first CURSOST row with the group's course key;
  - per lesson of the timetable: X_UNIDAD, X_OFERTAMATRIG / X_MATERIAOMG, X_TRAMO,
    N_DIASEMANA and X_ACTIVIDAD from the first matching rows.

  lookup_oracle.py --bin-dir BIN --levels nivelex.csv [--scale 3] [--seed 7]
"""

import argparse
import csv
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
from pathlib import Path

import dbfread

FRAMES = "101,102"


def trim(text):
    return text.strip(" ")


def upper_az(text):
    return "".join(chr(ord(c) - 32) if "a" <= c <= "z" else c for c in text)


def as_code_page(text):
    """The text as the system holds it: Windows-1252, "?" for what it lacks."""
    return (text or "").encode("cp1252", errors="replace").decode("cp1252")


def table(workspace, name):
    return [dict(r) for r in dbfread.DBF(str(workspace / f"{name}.DBF"), encoding="cp1252", lowernames=False)]


def text(value):
    """A field as the table layer reads it as text."""
    if value is None:
        return ""
    if isinstance(value, float) and value.is_integer():
        return str(int(value))
    return str(value)


def section(root, name):
    records = []
    for block in root.findall("BLOQUE_DATOS/grupo_datos"):
        if block.get("seq") != name:
            continue
        for record in block.findall("grupo_datos"):
            values = [as_code_page("".join(v.itertext())) for v in record.findall("dato")]
            if len(values) >= 2:
                records.append(values)
    return records


def value(record, k):
    return trim(record[k]) if k < len(record) else ""


def first(rows, predicate):
    for row in rows:
        if predicate(row):
            return row
    return None


class Mismatch(Exception):
    pass


def compare(what, expected, actual):
    if len(expected) != len(actual):
        raise Mismatch(f"{what}: {len(expected)} filas esperadas, {len(actual)} escritas")
    for i, (e, a) in enumerate(zip(expected, actual)):
        if e != a:
            raise Mismatch(f"{what}, fila {i + 1}:\n  esperado {e}\n  escrito  {a}")
    print(f"{what}: {len(expected)} filas coinciden")


def check_courses(root, workspace, levels_csv):
    levels = []
    with open(levels_csv, encoding="utf-8") as f:
        reader = csv.DictReader(line for line in f if not line.startswith("#"))
        for row in reader:
            levels.append(row)
    expected = []
    for record in section(root, "CURSOS_DEL_CENTRO"):
        key, name = value(record, 0), value(record, 1)
        level_row = first(levels, lambda r: int(r["X_OFERTAMATRIG"]) == int(key))
        level = as_code_page(level_row["NIVEL_ABREV"]) if level_row else "Niv"
        studies = as_code_page(level_row["ESTUDIO"]) if level_row else name
        expected.append((level[:5] or "Niv", name[:1], key[:10], studies[:80]))
    actual = [(r["NIVEL"], r["CURSO"], r["CLAVE"], r["ESTUD"]) for r in table(workspace, "CURSOST")]
    compare("CURSOST", expected, actual)


def check_groups(root, workspace):
    courses = table(workspace, "CURSOST")
    expected = []
    for record in section(root, "UNIDADES"):
        course_key = value(record, 2)
        course = first(courses, lambda c: c["CLAVE"] == course_key)
        level, grade, studies = (course["NIVEL"], course["CURSO"], course["ESTUD"]) if course else ("", "", "")
        group = value(record, 1)[-1:]
        description = studies if studies else f" {level} {grade} {group}"
        expected.append((level, grade, group, description[:80], value(record, 0)[:10], course_key[:10]))
    actual = [(r["NIVEL"], r["CURSO"], r["GRUPO"], r["DESCRIP"], r["CLAVE"], r["CLAVECURSO"])
              for r in table(workspace, "GRUPOST")]
    compare("GRUPOST", expected, actual)


def check_assignments(root, workspace):
    subjects = table(workspace, "ASIGNOMT")
    groups = table(workspace, "GRUPOST")
    expected = []
    for record in section(root, "MATERIAS"):
        course_key, subject_key, name = value(record, 0), value(record, 1), value(record, 2)
        sought = trim(upper_az(name[:80]))
        subject = first(subjects, lambda s: trim(upper_az(s["NOMBRE"])) == sought)
        if subject is None or subject["COD"] == "":
            continue
        for group in groups:
            if group["CLAVECURSO"] == course_key:
                expected.append((subject["COD"], group["ABREV"], group["NIVEL"], group["CURSO"], group["GRUPO"],
                                 4.0, "1111", subject_key[:10], course_key[:10], "1"))
    actual = [(r["CASIG"], r["CGRUP"], r["NIVEL"], r["CURSO"], r["GRUPO"], r["HORAS"], r["SESIONES"], r["CLAVE"],
               r["CLAVECURSO"], r["CTAREA"]) for r in table(workspace, "ASIGT")]
    compare("ASIGT", expected, actual)
    if not expected:
        raise Mismatch("ASIGT vacía: la muestra no ejercita la búsqueda")


def lesson_values(node):
    return {d.get("nombre_dato"): "".join(d.itertext()) for d in node.findall("dato")}


def check_import(workspace, output):
    teachers = table(workspace, "PROFT")
    lessons = table(workspace, "SOLUC")
    assignments = table(workspace, "ASIGT")
    subjects = table(workspace, "ASIGNOMT")
    groups = table(workspace, "GRUPOST")
    slots = table(workspace, "DIASHORAST")

    expected = []
    for teacher in teachers:
        for lesson in lessons:
            if text(lesson["PROF"]) != teacher["ABREV"] or int(text(lesson["DIA"]) or 0) == 0:
                continue
            subject, group = text(lesson["ASIG"]), text(lesson["CODGRUPO"])
            assignment = first(assignments, lambda a: a["CASIG"] == subject and a["CGRUP"] == group)
            unit = first(groups, lambda g: g["ABREV"] == group)
            key = text(lesson["DIA"]) + str(int(text(lesson["HORA"]) or 0))
            frame = text(lesson["MARCO"])[:1]
            slot = first(slots, lambda s: s["DIHO"] == key and s["MARCO"] == frame)
            task = text(lesson["TAREA"])
            if trim(task) == "":
                task_row = first(subjects, lambda s: s["COD"] == subject)
                if task_row is not None:
                    task = task_row["CODTAREA"]
            expected.append({
                "N_DIASEMANA": slot["DIA"] if slot else "",
                "X_TRAMO": slot["CODDIHO"] if slot else "",
                "X_UNIDAD": unit["CLAVE"] if unit else "",
                "X_OFERTAMATRIG": assignment["CLAVECURSO"] if assignment else "",
                "X_MATERIAOMG": assignment["CLAVE"] if assignment else "",
                "X_ACTIVIDAD": task if trim(task) else "1",
            })

    root = ET.parse(output).getroot()
    timetable = [g for g in root.findall("BLOQUE_DATOS/grupo_datos") if g.get("seq") == "HORARIOS_REGULARES"]
    if len(timetable) != 1:
        raise Mismatch("la salida no tiene una sección HORARIOS_REGULARES")
    actual = []
    for teacher_node in timetable[0].findall("grupo_datos"):
        for lesson_node in teacher_node.findall("grupo_datos"):
            values = lesson_values(lesson_node)
            actual.append({k: as_code_page(values.get(k, "")) for k in expected[0]} if expected else values)
    compare("lecciones de la salida", expected, actual)
    if not expected:
        raise Mismatch("SOLUC sin lecciones: la muestra no ejercita la importación")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin-dir", required=True, type=Path)
    parser.add_argument("--levels", required=True, type=Path)
    parser.add_argument("--scale", type=int, default=3)
    parser.add_argument("--seed", type=int, default=7)
    args = parser.parse_args()

    with tempfile.TemporaryDirectory(prefix="mudalinx-oracle-") as tmp:
        tmp = Path(tmp)
        sample, workspace = tmp / "muestra.xml", tmp / "KTEMP"
        workspace.mkdir()
        steps = [
            [args.bin_dir / "mudalinx-generar-muestra", "--scale", str(args.scale), "--seed", str(args.seed),
             "--output", sample],
            [args.bin_dir / "mudalinx-cli", "export", sample, "--workspace", workspace, "--program-dir", args.bin_dir,
             "--frames", FRAMES],
            [args.bin_dir / "mudalinx-horario-prueba", workspace],
            [args.bin_dir / "mudalinx-cli", "import", sample, "--workspace", workspace],
        ]
        root = None
        try:
            for i, step in enumerate(steps):
                result = subprocess.run([str(a) for a in step], capture_output=True)
                if result.returncode != 0:
                    raise Mismatch(f"falló {Path(step[0]).name}: {result.stderr.decode(errors='replace')}")
                if i == 1:
                    root = ET.parse(sample).getroot()
                    check_courses(root, workspace, args.levels)
                    check_groups(root, workspace)
                    check_assignments(root, workspace)
            check_import(workspace, tmp / ("ResultadoVelkan" + sample.name))
        except Mismatch as problem:
            print(problem, file=sys.stderr)
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
