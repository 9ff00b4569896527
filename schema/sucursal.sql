-- Branch template (BDLimpias/SucursalL.db), copied as the database of every new branch.
-- The central tables are links ("-- @link"), made in this order; saved queries sit between
-- "-- @query <name> <select|action>" and "-- @end". Everything else runs as it stands.
-- Keys are whole numbers; amounts and quantities REAL; on/off values 1/0; dates ISO text.

-- One row of branch settings; nothing inserts or deletes rows. Flags hold 1 or 0.
CREATE TABLE Parametros (
  IVA               INTEGER NOT NULL DEFAULT 16,
  Sucursal          INTEGER NOT NULL DEFAULT 1,
  PrefijoFact       TEXT NOT NULL DEFAULT '',
  TFuente           INTEGER NOT NULL DEFAULT 9,
  Ajuste            INTEGER NOT NULL DEFAULT 0,
  EspT              INTEGER NOT NULL DEFAULT 0,
  MaxDescuentoFact  INTEGER DEFAULT 10,
  Driver            TEXT NOT NULL DEFAULT '',
  IncrementoAP      INTEGER NOT NULL DEFAULT 1,
  UsarServidorImp   INTEGER NOT NULL DEFAULT 0,
  MUbicacion        INTEGER DEFAULT 0,
  Printer1          TEXT DEFAULT '',
  Printer2          TEXT DEFAULT '',
  Printer3          TEXT DEFAULT '',
  CodigosPTicket    INTEGER NOT NULL DEFAULT 0 CHECK (CodigosPTicket BETWEEN 0 AND 3),
  BDefault          INTEGER DEFAULT 1,
  EncTicket         TEXT DEFAULT '',
  PieTicket         TEXT DEFAULT '',
  TraspasosDir      INTEGER DEFAULT 0,
  OpenCDrawer       INTEGER DEFAULT 0,
  PagosMultiples    INTEGER DEFAULT 0,
  GenAgregar        INTEGER DEFAULT 0,
  ControlCaja       INTEGER DEFAULT 1,
  VentasaTicket     INTEGER DEFAULT 0,
  CotizacionaTicket INTEGER DEFAULT 0,
  TraspasosaTicket  INTEGER DEFAULT 0,
  FacturaaTicket    INTEGER DEFAULT 0,
  NTimesCajon       INTEGER DEFAULT 1,
  MetodoImpresion   INTEGER DEFAULT 0,
  Formatoticket     INTEGER DEFAULT 0,
  MDescripcion      INTEGER DEFAULT 1,
  MNombre           INTEGER DEFAULT 1,
  ParTickets        INTEGER DEFAULT 0,
  FacturaE          INTEGER DEFAULT 0,
  nTimesTicket      INTEGER DEFAULT 1,
  tecla1ticket      INTEGER DEFAULT 0,
  tecla2ticket      INTEGER DEFAULT 0,
  tecla3ticket      INTEGER DEFAULT 0,
  tecla4ticket      INTEGER DEFAULT 0,
  tecla5ticket      INTEGER DEFAULT 0,
  tecla6ticket      INTEGER DEFAULT 0,
  PreguntaCompVenta INTEGER DEFAULT 0,
  PreguntaCompES    INTEGER DEFAULT 0,
  CantidadAuto      INTEGER DEFAULT 0,
  VerDesctoVenta    INTEGER DEFAULT 1,
  ListaPrecioDef    INTEGER DEFAULT 0
);

-- Document counters; ValorFolio is the last number given.
CREATE TABLE Folios (
  Numerofolio INTEGER PRIMARY KEY,
  ValorFolio  INTEGER NOT NULL DEFAULT 0,
  Descripcion TEXT
);

-- Document headers. A document is its number together with its letter (T, F, E, C).
CREATE TABLE Venta (
  Numero        INTEGER NOT NULL,
  Tipo          TEXT(1) NOT NULL,
  Empleado      INTEGER,
  Sucursal      INTEGER,
  Terminal      INTEGER,
  Cliente       TEXT,
  Fecha         TEXT,
  Total         REAL NOT NULL DEFAULT 0,
  Vendedor      INTEGER DEFAULT 0,
  CondicionPago INTEGER DEFAULT 0,
  Descuento     REAL DEFAULT 0,
  IVAP          INTEGER,
  Pagacon       REAL DEFAULT 0,
  FormaPago     REAL DEFAULT 0,
  PagaObs1      TEXT DEFAULT '',
  Pagacon2      REAL DEFAULT 0,
  FormaPago2    REAL DEFAULT 0,
  PagaObs2      TEXT DEFAULT '',
  Pagacon3      REAL DEFAULT 0,
  FormaPago3    REAL DEFAULT 0,
  PagaObs3      TEXT DEFAULT '',
  ObsVenta      TEXT,
  Status        INTEGER NOT NULL DEFAULT 1,
  IdCorte       INTEGER NOT NULL DEFAULT 0,
  FE            INTEGER DEFAULT 0
);
CREATE UNIQUE INDEX VentaNumeroTipo ON Venta (Numero, Tipo);
CREATE INDEX VentaCorte ON Venta (IdCorte);

-- Document lines. Numero 0 while the line is being captured; IdLinea tells the lines of one screen
-- apart from the pending lines of other terminals.
CREATE TABLE DetalleVenta (
  IdLinea       INTEGER PRIMARY KEY,
  Numero        INTEGER NOT NULL DEFAULT 0,
  TipoDocto     TEXT(1) DEFAULT 'T',
  ClaveProducto INTEGER NOT NULL,
  Cantidad      REAL NOT NULL DEFAULT 1,
  PrecioUnit    REAL NOT NULL DEFAULT 0,
  Descuento     REAL NOT NULL DEFAULT 0,
  Iva           INTEGER NOT NULL DEFAULT 0,
  Moneda        INTEGER DEFAULT 1,
  Terminal      TEXT(15),
  Observacion   TEXT(120),
  Descripcion2  TEXT(44),
  Estatus       INTEGER DEFAULT 1,
  Devolucion    REAL DEFAULT 0
);
CREATE INDEX DetalleVentaDocto ON DetalleVenta (Numero, TipoDocto);
CREATE INDEX DetalleVentaProducto ON DetalleVenta (ClaveProducto);

-- The tickets (Venta.Tipo T) each day invoice (Numero, Tipo F or E) gathered.
CREATE TABLE FacturaDiaTicket (
  Numero INTEGER NOT NULL,
  Tipo   TEXT(1) NOT NULL,
  Ticket INTEGER NOT NULL
);
CREATE INDEX FacturaDiaTicketTicket ON FacturaDiaTicket (Ticket);

-- Stock of this branch, one row per product; may go negative.
CREATE TABLE Existencia (
  ClaveProducto INTEGER PRIMARY KEY,
  Existencia    REAL NOT NULL DEFAULT 0
);

-- Print requests to the print server (4 invoice, 6 ticket, 7 electronic invoice, 9 credit note).
CREATE TABLE Solicitafolios (
  FolioSolicita INTEGER NOT NULL,
  valordev      INTEGER NOT NULL DEFAULT 0,
  Terminal      INTEGER
);

-- Credit notes: Status 1 usable as payment, 2 applied.
CREATE TABLE NotaCredito (
  Numero        INTEGER NOT NULL,
  Descuento     REAL DEFAULT 0,
  Total         REAL NOT NULL DEFAULT 0,
  Cliente       TEXT,
  Empleado      INTEGER,
  Terminal      INTEGER,
  Fecha         TEXT,
  FactRef       INTEGER DEFAULT 0,
  Observaciones TEXT DEFAULT '',
  IVAP          INTEGER,
  Status        INTEGER NOT NULL DEFAULT 1
);
CREATE UNIQUE INDEX NotaCreditoNumero ON NotaCredito (Numero);

CREATE TABLE DNotaCredito (
  Numero        INTEGER NOT NULL,
  ClaveProducto INTEGER,
  Cantidad      REAL DEFAULT 0,
  PrecioUnit    REAL DEFAULT 0,
  IVA           INTEGER DEFAULT 0,
  Descuento     REAL DEFAULT 0
);
CREATE INDEX DNotaCreditoNumero ON DNotaCredito (Numero);

CREATE TABLE VentaCredito (
  Numero    INTEGER NOT NULL,
  Fecha     TEXT,
  Cliente   TEXT,
  Aval      TEXT,
  Empleado  INTEGER,
  Terminal  INTEGER,
  Total     REAL NOT NULL DEFAULT 0,
  Descuento REAL DEFAULT 0,
  IVAP      INTEGER,
  FormaPago INTEGER DEFAULT 0,
  Status    INTEGER NOT NULL DEFAULT 1
);
CREATE UNIQUE INDEX VentaCreditoNumero ON VentaCredito (Numero);

CREATE TABLE DVentaCredito (
  Numero        INTEGER NOT NULL,
  Observacion   TEXT(120),
  ClaveProducto INTEGER,
  Cantidad      REAL DEFAULT 0,
  PrecioUnit    REAL DEFAULT 0,
  IVA           INTEGER DEFAULT 0,
  Descuento     REAL DEFAULT 0
);
CREATE INDEX DVentaCreditoNumero ON DVentaCredito (Numero);

-- Payment documents of a credit sale: 1 = down payment, then the instalments by due date.
CREATE TABLE doctoscredito (
  Numeroventa      INTEGER NOT NULL,
  ClaveProducto    INTEGER NOT NULL,
  Numerodocto      INTEGER NOT NULL,
  Importe          REAL NOT NULL DEFAULT 0,
  FechaVencimiento TEXT,
  FechaPago        TEXT,
  TipoDocto        INTEGER NOT NULL DEFAULT 2
);
CREATE INDEX doctoscreditoVenta ON doctoscredito (Numeroventa);

-- Inventory entry and exit documents (also returns, DescribeMovto 12, and transfers).
CREATE TABLE EInventario (
  Numero        INTEGER NOT NULL,
  Fecha         TEXT,
  Aplicado      INTEGER DEFAULT 0,
  Usuario       INTEGER,
  Descripcion   TEXT(150),
  Traspaso      INTEGER DEFAULT 0,
  sucDestino    INTEGER DEFAULT 0,
  sucOrigen     INTEGER DEFAULT 0,
  DescribeMovto INTEGER DEFAULT 0,
  Docto         TEXT
);
CREATE UNIQUE INDEX EInventarioNumero ON EInventario (Numero);
CREATE INDEX EInventarioDocto ON EInventario (Docto);

CREATE TABLE DEInventario (
  Numero        INTEGER NOT NULL DEFAULT 0,
  Comentario    TEXT,
  ClaveProducto INTEGER NOT NULL,
  Cantidad      REAL NOT NULL DEFAULT 0,
  OrdenCap      INTEGER DEFAULT 1,
  PUnitario     REAL DEFAULT 0
);
CREATE INDEX DEInventarioNumero ON DEInventario (Numero);

-- Transfers this branch received, by their key (origin, exit number and exit date-time): kept when
-- the history is cleared, so no transfer enters twice. Entrada is the entry document's number.
CREATE TABLE TraspasosRecibidos (
  Clave   TEXT PRIMARY KEY,
  Docto   TEXT,
  Entrada INTEGER,
  Fecha   TEXT
);

-- Cash movements: TipoMov 1 money in, 2 money out; EstatusMov 1 active; IdCorte 0 until a cut.
CREATE TABLE MovimientosCaja (
  IdMovimiento   INTEGER PRIMARY KEY,
  FechaMov       TEXT,
  ImporteMov     REAL NOT NULL DEFAULT 0,
  TipoMov        INTEGER NOT NULL DEFAULT 0,
  DescripcionMov TEXT,
  EstatusMov     INTEGER NOT NULL DEFAULT 1,
  IdCorte        INTEGER NOT NULL DEFAULT 0,
  IdUsuario      INTEGER
);

CREATE TABLE CortesCaja (
  IdCorte      INTEGER PRIMARY KEY,
  ObsCorte     TEXT NOT NULL,
  FechaCorte   TEXT,
  IdUsuario    INTEGER,
  ImporteCorte REAL DEFAULT 0
);

CREATE TABLE Cuentas (
  IdCuenta      INTEGER PRIMARY KEY,
  NomCuenta     TEXT,
  FechaGen      TEXT,
  FechaMod      TEXT,
  EstatusCuenta INTEGER DEFAULT 0,
  SaldoCuenta   REAL NOT NULL DEFAULT 0
);

CREATE TABLE CuentasMovto (
  IdCuenta       INTEGER NOT NULL,
  IdMovto        INTEGER PRIMARY KEY,
  FechaMovto     TEXT,
  TipoMovimiento INTEGER DEFAULT 0,
  ImporteMovto   REAL NOT NULL DEFAULT 0,
  Referencia01   TEXT,
  Referencia02   TEXT,
  Comentarios    TEXT,
  EstatusMovto   INTEGER DEFAULT 0
);
CREATE INDEX CuentasMovtoCuenta ON CuentasMovto (IdCuenta);

-- ---------------------------------------------------------------- template rows

INSERT INTO Parametros (IVA, Sucursal, PrefijoFact, TFuente, Ajuste, EspT, MaxDescuentoFact, Driver,
  IncrementoAP, UsarServidorImp, MUbicacion, Printer1, Printer2, Printer3, CodigosPTicket, BDefault,
  EncTicket, PieTicket, TraspasosDir, OpenCDrawer, PagosMultiples, GenAgregar, ControlCaja,
  VentasaTicket, CotizacionaTicket, TraspasosaTicket, FacturaaTicket, NTimesCajon, MetodoImpresion,
  Formatoticket, MDescripcion, MNombre, ParTickets, FacturaE, nTimesTicket, tecla1ticket,
  tecla2ticket, tecla3ticket, tecla4ticket, tecla5ticket, tecla6ticket, PreguntaCompVenta,
  PreguntaCompES, CantidadAuto, VerDesctoVenta, ListaPrecioDef)
VALUES (16, 1, '', 9, 0, 0, 10, '',
  1, 0, 0, '', '', '', 0, 1,
  '', 'GRACIAS POR SU COMPRA[ENTER]CONSERVE SU TICKET', 0, 1, 0, 0, 1,
  0, 0, 0, 0, 1, 0,
  0, 1, 1, 0, 0, 1, 0,
  0, 0, 0, 0, 0, 0,
  0, 0, 1, 0);

INSERT INTO Folios (Numerofolio, ValorFolio, Descripcion) VALUES
  (0, 0, 'Sin uso'),
  (1, 0, 'Factura'),
  (2, 0, 'Entradas y salidas de inventario'),
  (3, 0, 'Nota de crédito'),
  (4, 0, 'Cotización'),
  (5, 0, 'Venta a crédito'),
  (6, 0, 'Ticket'),
  (7, 0, 'Sin uso'),
  (8, 0, 'Factura electrónica');

-- ---------------------------------------------------------------- links to the central file

-- @link Producto BDcodigos.db
-- @link Proveedores BDcodigos.db
-- @link Formasdepago BDcodigos.db
-- @link Empresa BDcodigos.db
-- @link Cliente BDcodigos.db
-- @link Categoria BDcodigos.db
-- @link CatalogoDerechos BDcodigos.db
-- @link Personal BDcodigos.db
-- @link Sucursales BDcodigos.db
-- @link TipoProducto BDcodigos.db
-- @link DescribeMov BDcodigos.db
-- @link Vendedores BDcodigos.db
-- The deleted products' names: every line query names a product through Producto, then this.
-- @link ProductoBorrado BDcodigos.db

-- ---------------------------------------------------------------- saved queries
-- Where only the columns a query's readers use are known, the SQL below is ours, written from what
-- those readers read and do. None of these is written through: the program writes the base tables.

-- Product search by barcode.
-- @query ProductoCB select
SELECT Producto.Moneda, Producto.Descuento, Producto.IVA AS Iva, Producto.ClaveProducto,
       Producto.CodigodeBarras, Producto.Nombre, Producto.Descripcion, Producto.PrecioUnit
FROM Producto ORDER BY Producto.CodigodeBarras
-- @end

-- Product search by name; PSEF is the name without blanks.
-- @query ProductoSE select
SELECT Producto.Moneda, Producto.Descuento, Producto.IVA AS Iva, Producto.ClaveProducto,
       Producto.CodigodeBarras, Producto.Nombre, Producto.Descripcion, Producto.PrecioUnit,
       REPLACE(COALESCE(Producto.Nombre, ''), ' ', '') AS PSEF
FROM Producto ORDER BY Producto.Nombre COLLATE ESPANOL
-- @end

-- Every product column with this branch's stock (0 without a stock row) and its category's name.
-- @query ProductoCE select
SELECT Producto.*, COALESCE(Existencia.Existencia, 0) AS Existencia,
       Categoria.Descripcion AS dCATEGORIA
FROM Producto
LEFT JOIN Existencia ON Existencia.ClaveProducto = Producto.ClaveProducto
LEFT JOIN Categoria ON Categoria.ClaveCategoria = Producto.Categoria
-- @end

-- Lines with their product and stock. Importe is the line amount after the line discount (what the
-- document total sums); PPrecioUnit the unit price after that discount; PPrecioUnitD the same before
-- tax at the branch rate (16 when the branch has 0). Serves the capture screen and the returns form.
-- @query CdetalleVenta select
SELECT DetalleVenta.*, COALESCE(Producto.CodigodeBarras, ProductoBorrado.CodigodeBarras) AS CodigodeBarras, COALESCE(Producto.Nombre, ProductoBorrado.Nombre) AS Nombre,
       COALESCE(Producto.Descripcion, ProductoBorrado.Descripcion) AS Descripcion,
       Producto.Ubicacion, Producto.LDesc, Producto.Precio1, Producto.Precio2, Producto.Precio3,
       Existencia.Existencia, Existencia.Existencia AS Exis,
       DetalleVenta.Cantidad * DetalleVenta.PrecioUnit * (1 - DetalleVenta.Descuento / 100.0) AS Importe,
       DetalleVenta.PrecioUnit * (1 - DetalleVenta.Descuento / 100.0) AS PPrecioUnit,
       DetalleVenta.PrecioUnit * (1 - DetalleVenta.Descuento / 100.0)
         / (1 + COALESCE(NULLIF((SELECT IVA FROM Parametros LIMIT 1), 0), 16) / 100.0) AS PPrecioUnitD
FROM DetalleVenta
LEFT JOIN Producto ON Producto.ClaveProducto = DetalleVenta.ClaveProducto
LEFT JOIN ProductoBorrado ON ProductoBorrado.ClaveProducto = DetalleVenta.ClaveProducto
LEFT JOIN Existencia ON Existencia.ClaveProducto = DetalleVenta.ClaveProducto
-- @end

-- Document header with its customer's name (Venta.Cliente holds the RFC).
-- @query CVentacCliente select
SELECT Venta.*, Cliente.Nombre
FROM Venta LEFT JOIN Cliente ON Cliente.RFC = Venta.Cliente
-- @end

-- Invoice and ticket lines with header and customer. Importe is the line amount before the line's
-- own discount; DescFact the document's general discount; IVAP the tax percent the document was
-- charged at; CExtra1 the product's code (the ticket prints it before the name), CExtra3 the
-- quantity, CExtra4 eight characters of lead followed by the text of a generic line.
-- @query CDetalleVentaFac select
SELECT DetalleVenta.Numero, DetalleVenta.TipoDocto, Venta.Tipo, Venta.Fecha, Venta.Cliente,
       COALESCE(Cliente.Nombre, '') AS NombreC, Cliente.Direccion, Cliente.Colonia, Cliente.Ciudad,
       Cliente.Estado, Cliente.CP, Venta.Descuento AS DescFact, Venta.Total, Venta.Status,
       Venta.ObsVenta, Venta.IVAP, DetalleVenta.ClaveProducto, COALESCE(Producto.CodigodeBarras, ProductoBorrado.CodigodeBarras) AS CodigodeBarras, COALESCE(Producto.Nombre, ProductoBorrado.Nombre) AS Nombre,
       COALESCE(Producto.Descripcion, ProductoBorrado.Descripcion) AS Descripcion, DetalleVenta.Cantidad, DetalleVenta.PrecioUnit, DetalleVenta.Descuento,
       DetalleVenta.Iva, DetalleVenta.Observacion, DetalleVenta.Descripcion2,
       DetalleVenta.Cantidad * DetalleVenta.PrecioUnit AS Importe,
       COALESCE(Producto.CodigodeBarras, ProductoBorrado.CodigodeBarras, '') AS CExtra1,
       COALESCE(Producto.Nombre, ProductoBorrado.Nombre) AS CExtra2,
       DetalleVenta.Cantidad AS CExtra3,
       'GENERICO' || COALESCE(NULLIF(DetalleVenta.Descripcion2, ''), DetalleVenta.Observacion, '') AS CExtra4
FROM DetalleVenta
JOIN Venta ON Venta.Numero = DetalleVenta.Numero AND Venta.Tipo = DetalleVenta.TipoDocto
LEFT JOIN Cliente ON Cliente.RFC = Venta.Cliente
LEFT JOIN Producto ON Producto.ClaveProducto = DetalleVenta.ClaveProducto
LEFT JOIN ProductoBorrado ON ProductoBorrado.ClaveProducto = DetalleVenta.ClaveProducto
ORDER BY DetalleVenta.IdLinea
-- @end

-- Quotation lines with header and customer (the same columns as the invoice query).
-- @query CDetalleVentaCot select
SELECT DetalleVenta.Numero, DetalleVenta.TipoDocto, Venta.Tipo, Venta.Fecha, Venta.Cliente,
       COALESCE(Cliente.Nombre, '') AS NombreC, Cliente.Direccion, Cliente.Colonia, Cliente.Ciudad,
       Cliente.Estado, Cliente.CP, Venta.Descuento AS DescFact, Venta.Total, Venta.ObsVenta,
       DetalleVenta.ClaveProducto, COALESCE(Producto.CodigodeBarras, ProductoBorrado.CodigodeBarras) AS CodigodeBarras, COALESCE(Producto.Nombre, ProductoBorrado.Nombre) AS Nombre, COALESCE(Producto.Descripcion, ProductoBorrado.Descripcion) AS Descripcion,
       DetalleVenta.Cantidad, DetalleVenta.PrecioUnit, DetalleVenta.Descuento, DetalleVenta.Iva,
       DetalleVenta.Observacion, DetalleVenta.Descripcion2,
       DetalleVenta.Cantidad * DetalleVenta.PrecioUnit AS Importe,
       DetalleVenta.Cantidad * DetalleVenta.PrecioUnit * (1 - DetalleVenta.Descuento / 100.0) AS ImporteNeto
FROM DetalleVenta
JOIN Venta ON Venta.Numero = DetalleVenta.Numero AND Venta.Tipo = DetalleVenta.TipoDocto
LEFT JOIN Cliente ON Cliente.RFC = Venta.Cliente
LEFT JOIN Producto ON Producto.ClaveProducto = DetalleVenta.ClaveProducto
LEFT JOIN ProductoBorrado ON ProductoBorrado.ClaveProducto = DetalleVenta.ClaveProducto
WHERE Venta.Tipo = 'C'
ORDER BY DetalleVenta.IdLinea
-- @end

-- Sale lines for the sales reports: ticket lines carry the negative document number, invoice lines
-- the positive one; Importe is the document total (the same on every line of a document).
-- @query CdetalleVentaFacRD select
SELECT CASE WHEN DetalleVenta.TipoDocto = 'T' THEN -DetalleVenta.Numero ELSE DetalleVenta.Numero END AS Numero,
       DetalleVenta.TipoDocto, DetalleVenta.ClaveProducto, Venta.Fecha, Venta.Cliente,
       DetalleVenta.Descuento, DetalleVenta.PrecioUnit, DetalleVenta.Cantidad, DetalleVenta.Iva,
       Venta.Total AS Importe, Venta.Status, Venta.Descuento AS DescFact, Venta.IdCorte,
       COALESCE(Producto.Nombre, ProductoBorrado.Nombre) AS Nombre, COALESCE(Producto.Descripcion, ProductoBorrado.Descripcion) AS Descripcion,
       COALESCE(NULLIF(Producto.Descripcion, ''), Producto.Nombre, NULLIF(ProductoBorrado.Descripcion, ''),
                ProductoBorrado.Nombre, '') AS Cextra1
FROM DetalleVenta
JOIN Venta ON Venta.Numero = DetalleVenta.Numero AND Venta.Tipo = DetalleVenta.TipoDocto
LEFT JOIN Producto ON Producto.ClaveProducto = DetalleVenta.ClaveProducto
LEFT JOIN ProductoBorrado ON ProductoBorrado.ClaveProducto = DetalleVenta.ClaveProducto
WHERE DetalleVenta.TipoDocto IN ('T', 'F', 'E')
-- @end

-- Lines of the sales of a cash cut, with the cut's observation (same sign rule as above).
-- @query cDetalleVentaFacCorte select
SELECT DetalleVenta.TipoDocto, Venta.IdCorte,
       CASE WHEN DetalleVenta.TipoDocto = 'T' THEN -DetalleVenta.Numero ELSE DetalleVenta.Numero END AS Numero,
       CortesCaja.ObsCorte, DetalleVenta.ClaveProducto, DetalleVenta.Cantidad, DetalleVenta.PrecioUnit,
       DetalleVenta.Descuento, DetalleVenta.Iva, Venta.Total AS Importe, Venta.Status,
       Venta.Descuento AS DescFact, Venta.Fecha,
       COALESCE(NULLIF(Producto.Descripcion, ''), Producto.Nombre, NULLIF(ProductoBorrado.Descripcion, ''),
                ProductoBorrado.Nombre, '') AS Cextra1
FROM DetalleVenta
JOIN Venta ON Venta.Numero = DetalleVenta.Numero AND Venta.Tipo = DetalleVenta.TipoDocto
LEFT JOIN CortesCaja ON CortesCaja.IdCorte = Venta.IdCorte
LEFT JOIN Producto ON Producto.ClaveProducto = DetalleVenta.ClaveProducto
LEFT JOIN ProductoBorrado ON ProductoBorrado.ClaveProducto = DetalleVenta.ClaveProducto
WHERE DetalleVenta.TipoDocto IN ('T', 'F', 'E')
-- @end

-- A credit note with its customer and lines. Notes made by a return hold the customer's name in
-- Cliente instead of an RFC; NombreC then shows that name.
-- @query CDetalleNCredito select
SELECT NotaCredito.Numero, NotaCredito.Fecha, NotaCredito.Cliente,
       COALESCE(Cliente.Nombre, NotaCredito.Cliente, '') AS NombreC, Cliente.Direccion,
       Cliente.Colonia, Cliente.Ciudad, Cliente.Estado, Cliente.CP, NotaCredito.Total,
       NotaCredito.Descuento AS DescFact, NotaCredito.FactRef, NotaCredito.Observaciones,
       NotaCredito.Status, NotaCredito.IVAP, DNotaCredito.ClaveProducto, DNotaCredito.Cantidad,
       DNotaCredito.PrecioUnit, DNotaCredito.IVA, DNotaCredito.Descuento, COALESCE(Producto.CodigodeBarras, ProductoBorrado.CodigodeBarras) AS CodigodeBarras,
       COALESCE(Producto.Nombre, ProductoBorrado.Nombre) AS Nombre, COALESCE(Producto.Descripcion, ProductoBorrado.Descripcion) AS Descripcion,
       DNotaCredito.Cantidad * DNotaCredito.PrecioUnit * (1 - COALESCE(DNotaCredito.Descuento, 0) / 100.0) AS Importe
FROM NotaCredito
LEFT JOIN Cliente ON Cliente.RFC = NotaCredito.Cliente
LEFT JOIN DNotaCredito ON DNotaCredito.Numero = NotaCredito.Numero
LEFT JOIN Producto ON Producto.ClaveProducto = DNotaCredito.ClaveProducto
LEFT JOIN ProductoBorrado ON ProductoBorrado.ClaveProducto = DNotaCredito.ClaveProducto
-- @end

-- Highest cash movement id (Null when there is none).
-- @query cMaxIdMovcaja select
SELECT MAX(IdMovimiento) AS MaxId FROM MovimientosCaja
-- @end

-- Balance of the active movements not yet in a cut: kind 1 adds, kind 2 subtracts, others count 0.
-- @query cSaldoMovCaja select
SELECT COALESCE(SUM(CASE TipoMov WHEN 1 THEN ImporteMov WHEN 2 THEN -ImporteMov ELSE 0 END), 0) AS Importe
FROM MovimientosCaja WHERE EstatusMov = 1 AND IdCorte = 0
-- @end

-- Cash cuts with the name of the user who made them.
-- @query cCortesCaja select
SELECT CortesCaja.IdCorte, CortesCaja.FechaCorte, CortesCaja.ImporteCorte, CortesCaja.ObsCorte,
       CortesCaja.IdUsuario, Personal.NombreUsuario
FROM CortesCaja LEFT JOIN Personal ON Personal.ClavePersonal = CortesCaja.IdUsuario
ORDER BY CortesCaja.IdCorte DESC
-- @end

-- Cash movements with the name of the user who recorded them.
-- @query cMovimientosCorte select
SELECT MovimientosCaja.IdMovimiento, MovimientosCaja.FechaMov, MovimientosCaja.TipoMov,
       MovimientosCaja.ImporteMov, MovimientosCaja.DescripcionMov, MovimientosCaja.EstatusMov,
       MovimientosCaja.IdUsuario, Personal.NombreUsuario, MovimientosCaja.IdCorte
FROM MovimientosCaja LEFT JOIN Personal ON Personal.ClavePersonal = MovimientosCaja.IdUsuario
ORDER BY MovimientosCaja.IdMovimiento
-- @end

-- Inventory lines with product and stock; Importe is the line amount.
-- @query DEInventarioCNombre select
SELECT DEInventario.Numero, DEInventario.ClaveProducto, COALESCE(Producto.Nombre, ProductoBorrado.Nombre) AS Nombre, COALESCE(Producto.Descripcion, ProductoBorrado.Descripcion) AS Descripcion,
       DEInventario.Cantidad, DEInventario.PUnitario,
       DEInventario.Cantidad * DEInventario.PUnitario AS Importe,
       DEInventario.OrdenCap, DEInventario.Comentario, Existencia.Existencia
FROM DEInventario
LEFT JOIN Producto ON Producto.ClaveProducto = DEInventario.ClaveProducto
LEFT JOIN ProductoBorrado ON ProductoBorrado.ClaveProducto = DEInventario.ClaveProducto
LEFT JOIN Existencia ON Existencia.ClaveProducto = DEInventario.ClaveProducto
ORDER BY DEInventario.OrdenCap
-- @end

-- Inventory documents (returns among them) with their lines and the user's name.
-- @query cESInventarioDev select
SELECT EInventario.Numero, EInventario.Fecha, EInventario.Descripcion, EInventario.Docto,
       EInventario.sucOrigen, EInventario.sucDestino, EInventario.DescribeMovto, EInventario.Usuario,
       Personal.NombreUsuario, DEInventario.ClaveProducto, COALESCE(Producto.Descripcion, ProductoBorrado.Descripcion) AS PDescripcion,
       COALESCE(Producto.Nombre, ProductoBorrado.Nombre) AS Nombre, DEInventario.PUnitario, Producto.PrecioUnit, DEInventario.Cantidad,
       DEInventario.Cantidad * DEInventario.PUnitario AS Importe, DEInventario.OrdenCap
FROM EInventario
JOIN DEInventario ON DEInventario.Numero = EInventario.Numero
LEFT JOIN Personal ON Personal.ClavePersonal = EInventario.Usuario
LEFT JOIN Producto ON Producto.ClaveProducto = DEInventario.ClaveProducto
LEFT JOIN ProductoBorrado ON ProductoBorrado.ClaveProducto = DEInventario.ClaveProducto
ORDER BY EInventario.Numero, DEInventario.OrdenCap
-- @end

-- Entry and exit lines of products (saved documents only).
-- @query cESProducto select
SELECT DEInventario.ClaveProducto, EInventario.Numero, EInventario.Fecha, EInventario.Descripcion,
       EInventario.Traspaso, EInventario.sucOrigen, EInventario.sucDestino, EInventario.DescribeMovto,
       DescribeMov.Descripcion AS DescribeMov, EInventario.Docto, DEInventario.Cantidad,
       DEInventario.PUnitario, DEInventario.Cantidad * DEInventario.PUnitario AS Importe,
       COALESCE(Producto.CodigodeBarras, ProductoBorrado.CodigodeBarras) AS CodigodeBarras, COALESCE(Producto.Nombre, ProductoBorrado.Nombre) AS Nombre, COALESCE(Producto.Descripcion, ProductoBorrado.Descripcion) AS PDescripcion
FROM DEInventario
JOIN EInventario ON EInventario.Numero = DEInventario.Numero
LEFT JOIN Producto ON Producto.ClaveProducto = DEInventario.ClaveProducto
LEFT JOIN ProductoBorrado ON ProductoBorrado.ClaveProducto = DEInventario.ClaveProducto
LEFT JOIN DescribeMov ON DescribeMov.DescribeMovto = EInventario.DescribeMovto
ORDER BY EInventario.Fecha, EInventario.Numero
-- @end

-- Inventory entry and exit documents with their lines, for the movement reports.
-- @query CESInventario select
SELECT EInventario.Numero, EInventario.Fecha, EInventario.Descripcion, EInventario.Aplicado,
       EInventario.Traspaso, EInventario.sucOrigen, EInventario.sucDestino, EInventario.DescribeMovto,
       EInventario.Docto, Personal.NombreUsuario, DEInventario.ClaveProducto, DEInventario.Cantidad,
       DEInventario.PUnitario, DEInventario.Cantidad * DEInventario.PUnitario AS Importe,
       DEInventario.Comentario, COALESCE(Producto.CodigodeBarras, ProductoBorrado.CodigodeBarras) AS CodigodeBarras, COALESCE(Producto.Nombre, ProductoBorrado.Nombre) AS Nombre,
       COALESCE(Producto.Descripcion, ProductoBorrado.Descripcion) AS PDescripcion
FROM EInventario
JOIN DEInventario ON DEInventario.Numero = EInventario.Numero
LEFT JOIN Personal ON Personal.ClavePersonal = EInventario.Usuario
LEFT JOIN Producto ON Producto.ClaveProducto = DEInventario.ClaveProducto
LEFT JOIN ProductoBorrado ON ProductoBorrado.ClaveProducto = DEInventario.ClaveProducto
ORDER BY EInventario.Numero, DEInventario.OrdenCap
-- @end

-- Credit sales with the customer's name.
-- @query CVentaCredito select
SELECT VentaCredito.*, Cliente.Nombre
FROM VentaCredito LEFT JOIN Cliente ON Cliente.RFC = VentaCredito.Cliente
ORDER BY VentaCredito.Numero
-- @end

-- Payment documents of the credit sales with the product's description.
-- @query CDoctosCredito select
SELECT doctoscredito.*, COALESCE(Producto.Descripcion, ProductoBorrado.Descripcion) AS Descripcion, COALESCE(Producto.CodigodeBarras, ProductoBorrado.CodigodeBarras) AS CodigodeBarras
FROM doctoscredito LEFT JOIN Producto ON Producto.ClaveProducto = doctoscredito.ClaveProducto
LEFT JOIN ProductoBorrado ON ProductoBorrado.ClaveProducto = doctoscredito.ClaveProducto
ORDER BY doctoscredito.Numeroventa, doctoscredito.ClaveProducto, doctoscredito.Numerodocto
-- @end

-- Stock of this branch's products. IdSucursal is this branch's number as kept in Parametros.
-- @query Existencias select
SELECT (SELECT Sucursal FROM Parametros LIMIT 1) AS IdSucursal, Existencia.ClaveProducto,
       Existencia.Existencia, Producto.CodigodeBarras, Producto.Nombre, Producto.Descripcion,
       Producto.Ubicacion, Producto.Categoria, Categoria.Descripcion AS dCategoria, Producto.Unidad,
       Producto.PrecioCosto, Producto.PrecioUnit, Producto.Reorden,
       Existencia.Existencia * COALESCE(Producto.PrecioCosto, 0) AS ImporteCosto
FROM Existencia
JOIN Producto ON Producto.ClaveProducto = Existencia.ClaveProducto
LEFT JOIN Categoria ON Categoria.ClaveCategoria = Producto.Categoria
ORDER BY Producto.Descripcion COLLATE ESPANOL
-- @end

-- Stock with the reorder level and the maximum stock.
-- @query ExisPedidos select
SELECT (SELECT Sucursal FROM Parametros LIMIT 1) AS IdSucursal, Existencia.ClaveProducto,
       Existencia.Existencia, COALESCE(Producto.Reorden, 0) AS Reorden, Producto.StockMax,
       Producto.CodigodeBarras, Producto.Nombre, Producto.Descripcion, Producto.Unidad,
       Producto.PrecioCosto
FROM Existencia
JOIN Producto ON Producto.ClaveProducto = Existencia.ClaveProducto
ORDER BY Producto.Descripcion COLLATE ESPANOL
-- @end

-- Stock checks run after product changes: every product gets a stock row ...
-- @query ValidaExistencia action
INSERT INTO Existencia (ClaveProducto, Existencia)
SELECT Producto.ClaveProducto, 0 FROM Producto
WHERE Producto.ClaveProducto NOT IN (SELECT ClaveProducto FROM Existencia)
-- @end

-- ... an empty stock reads 0 ...
-- @query AsignaE0 action
UPDATE Existencia SET Existencia = 0 WHERE Existencia IS NULL
-- @end

-- ... and the stock rows of deleted products go.
-- @query AjusteEx action
DELETE FROM Existencia WHERE ClaveProducto NOT IN (SELECT ClaveProducto FROM Producto)
-- @end

-- Takes the values parked in the catalogue by an import: Descripcion2 holding a number is the stock,
-- Precio1 above 0 the new sale price. The task clears both columns afterwards.
-- @query consPasaTemp action
INSERT INTO Existencia (ClaveProducto, Existencia)
SELECT Producto.ClaveProducto, 0 FROM Producto
WHERE Producto.ClaveProducto NOT IN (SELECT ClaveProducto FROM Existencia);
UPDATE Existencia SET Existencia = (
    SELECT CAST(TRIM(Producto.Descripcion2) AS REAL) FROM Producto
    WHERE Producto.ClaveProducto = Existencia.ClaveProducto)
WHERE ClaveProducto IN (
    SELECT ClaveProducto FROM Producto
    WHERE TRIM(COALESCE(Descripcion2, '')) <> ''
      AND TRIM(Descripcion2) NOT GLOB '*[^0-9.-]*');
UPDATE Producto SET PrecioUnit = Precio1 WHERE Precio1 > 0
-- @end

-- Clean-up of abandoned capture: pending lines nobody saved ...
-- @query dDetalleVenta action
DELETE FROM DetalleVenta WHERE Numero = 0
-- @end

-- ... and headers without a number.
-- @query DVenta action
DELETE FROM Venta WHERE Numero = 0
-- @end
