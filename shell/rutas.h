#pragma once
// Paths: the application folder, joining a folder and a relative path without doubled separators,
// and finding a file whatever the letter case of its name (the program spells the same files
// "BDcodigos" and "BDCodigos").

#include <QString>

namespace shell {

// $QUORVEL_HOME when set, else the folder of the running executable.
QString RutaAplicacion();
// A folder without its trailing separators ("/" or "\"); a bare root stays as it is.
QString SinSeparadorFinal(const QString& carpeta);
// carpeta + "/" + relativa, with the folder's trailing separators dropped first.
QString UnirRuta(const QString& carpeta, const QString& relativa);
// The existing path that matches `ruta` without regard to letter case, component by component;
// `ruta` itself when it exists or nothing matches.
QString BuscaRuta(const QString& ruta);
bool ArchivoExiste(const QString& ruta);  // a file, with BuscaRuta's letter-case rule

}  // namespace shell
