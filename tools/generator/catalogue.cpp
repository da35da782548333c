#include "tools/generator/catalogue.h"

namespace mudalinx::generator {

namespace {

std::vector<std::string> esoSubjects(const std::string& numeral, bool upper) {
  std::vector<std::string> subjects = {
      "Geografía e Historia",
      "Lengua Castellana y Literatura",
      "Primera Lengua Extranjera: Inglés",
      "Educación Física",
      "Religión Católica",
      "Atención Educativa",
      "Tutoría",
  };
  if (upper) {
    for (const char* s : {"Matemáticas A", "Matemáticas B", "Biología y Geología", "Física y Química",
                          "Digitalización", "Economía y Emprendimiento", "Formación y Orientación Personal y Profesional",
                          "Latín", "Tecnología"}) {
      subjects.emplace_back(s);
    }
  } else {
    for (const char* s : {"Matemáticas", "Biología y Geología", "Física y Química", "Música",
                          "Educación Plástica, Visual y Audiovisual", "Tecnología y Digitalización",
                          "Educación en Valores Cívicos y Éticos"}) {
      subjects.emplace_back(s);
    }
  }
  subjects.push_back("Refuerzo de Matemáticas " + numeral);
  subjects.push_back("Refuerzo de Lengua " + numeral);
  return subjects;
}

const std::vector<std::string> kEsoElectives = {
    "Segunda Lengua Extranjera: Francés", "Segunda Lengua Extranjera: Alemán", "Taller de Robótica",
    "Oratoria y Debate", "Cultura Clásica", "Proyecto Interdisciplinar", "Artes Escénicas y Danza",
    "Programación y Computación", "Religión Evangélica",
};

std::vector<std::string> bachilleratoCommon(const std::string& numeral) {
  std::vector<std::string> subjects = {
      "Lengua Castellana y Literatura " + numeral,
      "Primera Lengua Extranjera: Inglés " + numeral,
      "Tutoría",
  };
  if (numeral == "I") {
    subjects.emplace_back("Filosofía");
    subjects.emplace_back("Educación Física");
  } else {
    subjects.emplace_back("Historia de España");
    subjects.emplace_back("Historia de la Filosofía");
  }
  return subjects;
}

std::vector<std::string> plus(std::vector<std::string> base, std::initializer_list<std::string> more) {
  base.insert(base.end(), more);
  return base;
}

const std::vector<std::string> kBachilleratoElectives = {
    "Segunda Lengua Extranjera: Francés I", "Tecnologías de la Información y la Comunicación",
    "Anatomía Aplicada", "Psicología", "Religión Católica", "Proyecto de Investigación Integrado",
    "Fundamentos de Administración y Gestión",
};

const std::vector<std::string> kFpCommon = {
    "Formación y Orientación Laboral", "Empresa e Iniciativa Emprendedora", "Inglés Profesional",
    "Itinerario Personal para la Empleabilidad", "Digitalización Aplicada a los Sectores Productivos",
    "Tutoría",
};

const std::vector<std::string> kFpElectives = {
    "Sostenibilidad Aplicada al Sistema Productivo", "Proyecto Intermodular",
    "Formación en Empresa u Organismo Equiparado",
    "Proyecto Intermodular de Administración de Sistemas Informáticos en Red con Servicios de Alta Disponibilidad",
};

std::vector<std::string> fp(std::initializer_list<std::string> modules) {
  std::vector<std::string> subjects(modules);
  subjects.insert(subjects.end(), kFpCommon.begin(), kFpCommon.end());
  return subjects;
}

std::vector<CourseTemplate> buildCourses() {
  const std::vector<std::string> bachA = {"A", "B", "C"};
  return {
      {"1º Educación Secundaria Obligatoria", 40101, {"1º ESO A", "1º ESO B", "1º ESO C", "1º ESO D", "1º ESO E"},
       esoSubjects("1º", false), kEsoElectives},
      {"2º Educación Secundaria Obligatoria", 40102, {"2º ESO A", "2º ESO B", "2º ESO C", "2º ESO D", "2º ESO E"},
       esoSubjects("2º", false), kEsoElectives},
      {"3º Educación Secundaria Obligatoria", 40103, {"3º ESO A", "3º ESO B", "3º ESO C", "3º ESO D"},
       esoSubjects("3º", false), kEsoElectives},
      {"4º Educación Secundaria Obligatoria", 40104, {"4º ESO A", "4º ESO B", "4º ESO C", "4º ESO D"},
       esoSubjects("4º", true), kEsoElectives},
      {"1º Bachillerato (Ciencias y Tecnología)", 40211, {"1º Bachillerato A", "1º Bachillerato B", "1º Bachillerato C"},
       plus(bachilleratoCommon("I"), {"Matemáticas I", "Física y Química", "Biología, Geología y Ciencias Ambientales",
                                      "Dibujo Técnico I", "Tecnología e Ingeniería I"}),
       kBachilleratoElectives},
      {"2º Bachillerato (Ciencias y Tecnología)", 40212, {"2º Bachillerato A", "2º Bachillerato B", "2º Bachillerato C"},
       plus(bachilleratoCommon("II"), {"Matemáticas II", "Física", "Química", "Biología", "Dibujo Técnico II",
                                       "Tecnología e Ingeniería II"}),
       kBachilleratoElectives},
      {"1º Bachillerato (Humanidades y Ciencias Sociales)", 40221, {"1º Bachillerato D", "1º Bachillerato E"},
       plus(bachilleratoCommon("I"), {"Matemáticas Aplicadas a las Ciencias Sociales I", "Latín I", "Griego I",
                                      "Economía", "Historia del Mundo Contemporáneo", "Literatura Universal"}),
       kBachilleratoElectives},
      {"2º Bachillerato (Humanidades y Ciencias Sociales)", 40222, {"2º Bachillerato D", "2º Bachillerato E"},
       plus(bachilleratoCommon("II"), {"Matemáticas Aplicadas a las Ciencias Sociales II", "Latín II", "Griego II",
                                       "Empresa y Diseño de Modelos de Negocio", "Geografía", "Historia del Arte"}),
       kBachilleratoElectives},
      {"1º Bachillerato (Artes)", 40231, {"1º Bachillerato F"},
       plus(bachilleratoCommon("I"), {"Dibujo Artístico I", "Cultura Audiovisual", "Proyectos Artísticos",
                                      "Volumen"}),
       kBachilleratoElectives},
      {"2º Bachillerato (Artes)", 40232, {"2º Bachillerato F"},
       plus(bachilleratoCommon("II"), {"Dibujo Artístico II", "Diseño", "Historia del Arte",
                                       "Técnicas de Expresión Gráfico-Plástica"}),
       kBachilleratoElectives},
      {"1º Ciclo Formativo de Grado Medio (Gestión Administrativa)", 40621, {"1º GA"},
       fp({"Comunicación Empresarial y Atención al Cliente", "Operaciones Administrativas de Compraventa",
           "Empresa y Administración", "Tratamiento Informático de la Información", "Técnica Contable"}),
       kFpElectives},
      {"2º Ciclo Formativo de Grado Medio (Gestión Administrativa)", 40622, {"2º GA"},
       fp({"Operaciones Administrativas de Recursos Humanos", "Tratamiento de la Documentación Contable",
           "Empresa en el Aula", "Operaciones Auxiliares de Gestión de Tesorería"}),
       kFpElectives},
      {"1º Ciclo Formativo de Grado Medio (Sistemas Microinformáticos y Redes)", 40611, {"1º SMR"},
       fp({"Montaje y Mantenimiento de Equipos", "Sistemas Operativos Monopuesto", "Redes Locales",
           "Aplicaciones Ofimáticas"}),
       kFpElectives},
      {"2º Ciclo Formativo de Grado Medio (Sistemas Microinformáticos y Redes)", 40612, {"2º SMR"},
       fp({"Sistemas Operativos en Red", "Seguridad Informática", "Servicios en Red", "Aplicaciones Web"}),
       kFpElectives},
      {"1º Ciclo Formativo de Grado Superior (Administración y Finanzas)", 40721, {"1º AF"},
       fp({"Gestión de la Documentación Jurídica y Empresarial", "Recursos Humanos y Responsabilidad Social Corporativa",
           "Ofimática y Proceso de la Información", "Proceso Integral de la Actividad Comercial",
           "Comunicación y Atención al Cliente"}),
       kFpElectives},
      {"2º Ciclo Formativo de Grado Superior (Administración y Finanzas)", 40722, {"2º AF"},
       fp({"Gestión de Recursos Humanos", "Gestión Financiera", "Contabilidad y Fiscalidad",
           "Gestión Logística y Comercial", "Simulación Empresarial"}),
       kFpElectives},
      {"1º Ciclo Formativo de Grado Superior (Administración de Sistemas Informáticos en Red)", 40711, {"1º ASIR"},
       fp({"Implantación de Sistemas Operativos", "Planificación y Administración de Redes", "Fundamentos de Hardware",
           "Gestión de Bases de Datos", "Lenguajes de Marcas y Sistemas de Gestión de Información"}),
       kFpElectives},
      {"2º Ciclo Formativo de Grado Superior (Administración de Sistemas Informáticos en Red)", 40712, {"2º ASIR"},
       fp({"Administración de Sistemas Operativos", "Servicios de Red e Internet", "Implantación de Aplicaciones Web",
           "Administración de Sistemas Gestores de Bases de Datos", "Seguridad y Alta Disponibilidad"}),
       kFpElectives},
      {"3º Programa de Diversificación Curricular", 40105, {"3º PDC"},
       {"Ámbito Científico y Matemático", "Ámbito Lingüístico y Social", "Ámbito Práctico", "Primera Lengua Extranjera: Inglés",
        "Educación Física", "Tutoría"},
       {}},
      {"1º Formación Profesional Básica (Informática y Comunicaciones)", 40501, {"1º FPB Informática"},
       fp({"Montaje y Mantenimiento de Sistemas y Componentes Informáticos", "Operaciones Auxiliares para la Configuración y la Explotación",
           "Ciencias Aplicadas I", "Comunicación y Sociedad I"}),
       {}},
      {"2º Formación Profesional Básica (Informática y Comunicaciones)", 40502, {"2º FPB Informática"},
       fp({"Instalación y Mantenimiento de Redes para Transmisión de Datos", "Equipos Eléctricos y Electrónicos",
           "Ciencias Aplicadas II", "Comunicación y Sociedad II"}),
       {}},
  };
}

std::vector<std::string> buildRooms() {
  std::vector<std::string> rooms;
  for (int floor = 0; floor <= 2; ++floor) {
    for (int number = 1; number <= 12; ++number) {
      rooms.push_back("Aula " + std::to_string(floor) + "." + (number < 10 ? "0" : "") + std::to_string(number));
    }
  }
  for (const char* room :
       {"Laboratorio de Física & Química", "Laboratorio de Biología y Geología", "Aula de Informática 1",
        "Aula de Informática 2", "Aula de Informática 3", "Aula de Informática 4", "Taller de Tecnología 1",
        "Taller de Tecnología 2", "Aula de Música", "Aula de Plástica", "Aula de Dibujo Técnico", "Biblioteca",
        "Salón de Actos", "Pista polideportiva", "Aula de Apoyo 1", "Aula de Apoyo 2", "Aula de Desdoble 1",
        "Aula de Desdoble 2", "Aula de Desdoble 3", "Laboratorio de Idiomas", "Aula Taller FP 1", "Aula Taller FP 2",
        "Aula Taller FP 3"}) {
    rooms.emplace_back(room);
  }
  return rooms;
}

}  // namespace

const std::vector<CourseTemplate>& courseTemplates() {
  static const std::vector<CourseTemplate> courses = buildCourses();
  return courses;
}

const CourseTemplate& unlistedCourse() {
  static const CourseTemplate course = {
      "Aula Temporal de Adaptación Lingüística", 49901, {"ATAL"},
      {"Español como Lengua Extranjera", "Ámbito Lingüístico y Social", "Tutoría"},
      {}};
  return course;
}

const std::vector<std::string>& roomNames() {
  static const std::vector<std::string> rooms = buildRooms();
  return rooms;
}

const std::vector<std::string>& roomsWithoutCode() {
  static const std::vector<std::string> rooms = {"Gimnasio cubierto", "Gimnasio exterior", "Patio de recreo"};
  return rooms;
}

const std::vector<std::string>& activityNames() {
  static const std::vector<std::string> activities = {
      "Guardia", "Guardia de recreo", "Tutoría", "Guardia de biblioteca", "Reunión de departamento",
      "Reunión de equipo educativo", "Tutoría con familias", "Tutoría individualizada", "Jefatura de departamento",
      "Coordinación TIC", "Coordinación de bilingüismo", "Coordinación de convivencia", "Equipo directivo",
      "Atención al alumnado", "Mantenimiento de laboratorio", "Reducción horaria por edad",
  };
  return activities;
}

const std::vector<WeightedText>& departments() {
  static const std::vector<WeightedText> list = {
      {"Lengua Castellana y Literatura", 12}, {"Matemáticas", 12}, {"Inglés", 10}, {"Geografía e Historia", 9},
      {"Biología y Geología", 6}, {"Física y Química", 6}, {"Tecnología", 5}, {"Educación Física", 5},
      {"Informática", 8}, {"Administración de Empresas", 7}, {"Francés", 3}, {"Alemán", 1}, {"Música", 2},
      {"Dibujo", 3}, {"Filosofía", 3}, {"Latín", 2}, {"Griego", 1}, {"Economía", 2}, {"Orientación", 3},
      {"Religión", 2}, {"Formación y Orientación Laboral", 3},
  };
  return list;
}

// Frequencies in proportion to how common each surname is in Spain.
const std::vector<WeightedText>& surnames() {
  static const std::vector<WeightedText> list = {
      {"García", 1450}, {"Rodríguez", 930}, {"González", 920}, {"Fernández", 910}, {"López", 870},
      {"Martínez", 830}, {"Sánchez", 810}, {"Pérez", 760}, {"Gómez", 490}, {"Martín", 490},
      {"Jiménez", 390}, {"Hernández", 370}, {"Ruiz", 370}, {"Díaz", 360}, {"Moreno", 350},
      {"Muñoz", 290}, {"Álvarez", 290}, {"Romero", 270}, {"Gutiérrez", 230}, {"Alonso", 230},
      {"Navarro", 220}, {"Torres", 220}, {"Domínguez", 220}, {"Ramos", 200}, {"Vázquez", 200},
      {"Ramírez", 190}, {"Gil", 190}, {"Serrano", 190}, {"Morales", 180}, {"Molina", 180},
      {"Blanco", 180}, {"Suárez", 180}, {"Castro", 170}, {"Ortega", 170}, {"Delgado", 170},
      {"Ortiz", 170}, {"Marín", 170}, {"Rubio", 170}, {"Núñez", 160}, {"Medina", 150},
      {"Sanz", 150}, {"Castillo", 150}, {"Iglesias", 150}, {"Cortés", 140}, {"Garrido", 140},
      {"Santos", 140}, {"Guerrero", 130}, {"Lozano", 130}, {"Cano", 130}, {"Cruz", 130},
      {"Méndez", 130}, {"Flores", 130}, {"Prieto", 120}, {"Herrera", 120}, {"Peña", 120},
      {"León", 120}, {"Márquez", 120}, {"Cabrera", 120}, {"Gallego", 120}, {"Calvo", 120},
      {"Vidal", 110}, {"Campos", 110}, {"Reyes", 110}, {"Vega", 110}, {"Fuentes", 110},
      {"Carrasco", 110}, {"Díez", 100}, {"Aguilar", 100}, {"Caballero", 100}, {"Nieto", 100},
      {"Santana", 100}, {"Pascual", 100}, {"Herrero", 100}, {"Montero", 90}, {"Hidalgo", 90},
      {"Lorenzo", 90}, {"Giménez", 90}, {"Ibáñez", 90}, {"Ferrer", 90}, {"Durán", 90},
      {"Santiago", 80}, {"Benítez", 80}, {"Vargas", 80}, {"Mora", 80}, {"Vicente", 80},
      {"Arias", 80}, {"Carmona", 80}, {"Crespo", 80}, {"Román", 80}, {"Pastor", 80},
      {"Soto", 70}, {"Sáez", 70}, {"Velasco", 70}, {"Moya", 70}, {"Soler", 70},
      {"Parra", 70}, {"Esteban", 70}, {"Bravo", 70}, {"Gallardo", 70}, {"Rojas", 70},
      {"Pardo", 60}, {"Merino", 60}, {"Franco", 60}, {"Espinosa", 60}, {"Izquierdo", 60},
      {"Lara", 60}, {"Rivas", 60}, {"Silva", 60}, {"Rivera", 60}, {"Casado", 60},
      {"Arroyo", 50}, {"Redondo", 50}, {"Camacho", 50}, {"Rey", 50}, {"Vera", 50},
      {"Otero", 50}, {"Luque", 50}, {"Galán", 50}, {"Montes", 50}, {"Ríos", 50},
      {"Sierra", 50}, {"Segura", 50}, {"Carrillo", 50}, {"Marcos", 50}, {"Marti", 40},
      {"Soriano", 40}, {"Mendoza", 40}, {"Robles", 40}, {"Vallejo", 40}, {"Bernal", 40},
      {"Quintana", 40}, {"Echevarría", 30}, {"Goikoetxea", 20}, {"Etxeberria", 20}, {"Vilaseca", 20},
      {"Castellví", 20}, {"Iturriaga", 20}, {"Queralt", 15}, {"Valcárcel", 15}, {"Argüelles", 15},
      {"Peñalver", 15}, {"Ordóñez", 15}, {"Cañete", 15}, {"Muñiz", 15}, {"Zúñiga", 15},
      {"de la Fuente", 40}, {"del Río", 40}, {"de la Cruz", 30}, {"del Pozo", 20}, {"de Miguel", 20},
      {"O'Donnell", 3}, {"Smith", 3}, {"Rossi", 3}, {"Popescu", 3}, {"Müller", 3},
  };
  return list;
}

const std::vector<WeightedText>& givenNames() {
  static const std::vector<WeightedText> list = {
      {"María Carmen", 640}, {"María", 610}, {"Antonio", 650}, {"Manuel", 600}, {"José", 600},
      {"Francisco", 480}, {"Carmen", 360}, {"David", 370}, {"Juan", 360}, {"Javier", 330},
      {"Ana María", 310}, {"Laura", 300}, {"Isabel", 280}, {"José Antonio", 290}, {"María Pilar", 280},
      {"José Luis", 300}, {"Francisco Javier", 270}, {"Cristina", 250}, {"Marta", 250}, {"Daniel", 250},
      {"Carlos", 240}, {"Jesús", 240}, {"María Dolores", 240}, {"Alejandro", 220}, {"Lucía", 220},
      {"Miguel", 210}, {"José Manuel", 210}, {"Rafael", 200}, {"Pedro", 200}, {"Ángel", 190},
      {"Pablo", 190}, {"Elena", 190}, {"María Teresa", 180}, {"Sara", 180}, {"Paula", 170},
      {"Raquel", 170}, {"Fernando", 170}, {"Sergio", 170}, {"Luis", 170}, {"Jorge", 160},
      {"Alberto", 160}, {"Rosa María", 160}, {"Silvia", 150}, {"Patricia", 150}, {"Mercedes", 140},
      {"Beatriz", 130}, {"Rocío", 130}, {"Raúl", 130}, {"Andrés", 120}, {"Nuria", 120},
      {"Montserrat", 110}, {"Enrique", 110}, {"Ramón", 110}, {"Vicente", 100}, {"Begoña", 60},
      {"Íñigo", 40}, {"Ainhoa", 40}, {"Iñaki", 40}, {"Jordi", 40}, {"Núria", 40},
      {"Xavier", 30}, {"Itziar", 30}, {"Xosé", 20}, {"Uxía", 20}, {"Nazlı", 10},
      {"Łukasz", 10}, {"Ştefan", 10}, {"Zoë", 3}, {"Chloé", 3}, {"François", 3},
  };
  return list;
}

}  // namespace mudalinx::generator
