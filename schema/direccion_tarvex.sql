-- The print server's own file in Plovix/: the data folder and the branch it serves. One row.
CREATE TABLE Direccion (
  Direccion TEXT,
  Sucursal  INTEGER NOT NULL DEFAULT 1
);
