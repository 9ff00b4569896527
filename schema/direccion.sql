-- Quorvel's own file beside the program: where the data folder is, this terminal and its branch.
-- One row; the setup tool writes it with the values it was given.
CREATE TABLE Dir (
  Direccion TEXT,
  Terminal  INTEGER NOT NULL DEFAULT 1,
  Sucursal  INTEGER NOT NULL DEFAULT 1
);
