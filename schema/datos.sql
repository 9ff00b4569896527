-- System monitor log: one row per logged event (stock changed or product deleted from the catalogue).
CREATE TABLE MonitorSistema (
  Equipo  TEXT(40),
  Proceso TEXT,
  Usuario INTEGER,
  Mensaje TEXT,
  Vivo    INTEGER NOT NULL DEFAULT 4
);
