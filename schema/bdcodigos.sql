-- Central file (BDcodigos.db): catalogues shared by every branch, users, branches and the company.
-- Keys are whole numbers; amounts REAL; on/off values 1/0; dates ISO text.
-- Blocks between "-- @query <name> <select|action>" and "-- @end" are saved queries; the setup tool
-- stores them in _queries instead of running them.

CREATE TABLE Empresa (
  NombreEmp       TEXT NOT NULL DEFAULT '',
  RazonSocial     TEXT,
  RFC             TEXT NOT NULL DEFAULT '',
  Direccion       TEXT NOT NULL DEFAULT '',
  NumSucursales   INTEGER NOT NULL DEFAULT 1,
  SucursalDefault INTEGER NOT NULL DEFAULT 1,
  EmailFacturas   TEXT(60),
  RegxFactura     INTEGER NOT NULL DEFAULT 0,
  Credito         INTEGER NOT NULL DEFAULT 1
);

CREATE TABLE Sucursales (
  IdSucursal     INTEGER PRIMARY KEY,
  DescripcionSuc TEXT(50),
  DescripcionC   TEXT(20) NOT NULL,
  Direccion      TEXT,
  Telefono       TEXT(20),
  NumTerminales  TEXT(20),
  UbicacionBD    TEXT(60)
);

CREATE TABLE Vendedores (
  IdVendedor     INTEGER PRIMARY KEY,
  NombreVendedor TEXT(50) NOT NULL DEFAULT ''
);

CREATE TABLE Monedas (
  Moneda      INTEGER PRIMARY KEY,
  Descripcion TEXT,
  TipoCambio  REAL NOT NULL DEFAULT 1
);

-- ClaveAcceso holds an Argon2id hash of the password in capitals, never the password itself.
CREATE TABLE Personal (
  ClavePersonal  INTEGER PRIMARY KEY,
  PApellidoPat   TEXT,
  PApellidoMat   TEXT,
  PNombres       TEXT,
  Domicilio      TEXT,
  NombreUsuario  TEXT NOT NULL COLLATE NOCASE UNIQUE,
  ClaveAcceso    TEXT,
  PermisosIguala TEXT,
  Derechos       TEXT(50),
  Niveles        TEXT DEFAULT '1'
);

CREATE TABLE Permisos (
  IdPermiso          INTEGER PRIMARY KEY CHECK (IdPermiso BETWEEN 0 AND 255),
  NombrePermiso      TEXT NOT NULL UNIQUE,
  DescripcionPermiso TEXT,
  PermisoPadre       TEXT DEFAULT ''
);

CREATE TABLE UsuarioPermiso (
  IdUsuario INTEGER NOT NULL,
  IdPermiso INTEGER NOT NULL CHECK (IdPermiso BETWEEN 0 AND 255),
  PRIMARY KEY (IdUsuario, IdPermiso)
);

CREATE TABLE CatalogoDerechos (
  PosDerecho  INTEGER PRIMARY KEY CHECK (PosDerecho BETWEEN 1 AND 50),
  Descripcion TEXT NOT NULL
);

CREATE TABLE Cliente (
  RFC            TEXT(15) NOT NULL PRIMARY KEY,
  CURP           TEXT(21),
  Nombre         TEXT(150),
  Direccion      TEXT(150),
  NumExterior    TEXT(20),
  NumInterior    TEXT(20),
  Colonia        TEXT(45),
  Localidad      TEXT(45),
  Municipio      TEXT(20),
  Ciudad         TEXT(45),
  Estado         TEXT(40),
  Pais           INTEGER DEFAULT 0,
  CP             TEXT(9),
  Telefono       TEXT(15),
  TipoCompra     INTEGER NOT NULL DEFAULT 0,
  RutaZona       TEXT(61),
  LimiteCredito  REAL DEFAULT 0,
  Emails         TEXT(80),
  cltereferencia TEXT(100)
);

CREATE TABLE Estados (
  IdEstado INTEGER PRIMARY KEY,
  Nombre   TEXT NOT NULL
);

CREATE TABLE Paises (
  IdPais     INTEGER PRIMARY KEY,
  NombrePais TEXT NOT NULL
);

CREATE TABLE Proveedores (
  RFC               TEXT(13) NOT NULL PRIMARY KEY,
  NombreCompania    TEXT(50),
  Direccion         TEXT(60),
  Ciudad            TEXT(20),
  Colonia           TEXT(25),
  Estado            TEXT(20),
  Telefono          TEXT(24),
  NombreContacto    TEXT,
  CargoContacto     TEXT(15),
  Fax               TEXT(24),
  CorreoElectronico TEXT(30),
  CodPostal         TEXT(10),
  Pais              TEXT(15)
);

-- Which suppliers sell a product; a pair is listed once.
CREATE TABLE ProductoProveedor (
  ClaveProducto INTEGER NOT NULL,
  RFC           TEXT(13) NOT NULL,
  PRIMARY KEY (ClaveProducto, RFC)
);

CREATE TABLE Categoria (
  ClaveCategoria INTEGER PRIMARY KEY,
  Descripcion    TEXT NOT NULL DEFAULT ''
);

-- TPago runs from 0 without gaps: the payment dialog takes the list position as the code.
CREATE TABLE Formasdepago (
  TPago       INTEGER PRIMARY KEY CHECK (TPago BETWEEN 0 AND 15),
  Descripcion TEXT NOT NULL DEFAULT ''
);

CREATE TABLE TiposCompraCliente (
  TCompra     INTEGER PRIMARY KEY,
  Descripcion TEXT NOT NULL DEFAULT ''
);

CREATE TABLE TipoProducto (
  NTipo       INTEGER PRIMARY KEY,
  Descripcion TEXT NOT NULL DEFAULT ''
);

-- Kinds of inventory movement, referred to by EInventario.DescribeMovto.
CREATE TABLE DescribeMov (
  DescribeMovto INTEGER PRIMARY KEY,
  Descripcion   TEXT NOT NULL
);

-- IVA is a whole tax percent; a product bears tax when it is not 0.
CREATE TABLE Producto (
  ClaveProducto  INTEGER PRIMARY KEY,
  CodigodeBarras TEXT(20) NOT NULL UNIQUE,
  Nombre         TEXT(45) DEFAULT '',
  Descripcion    TEXT(199) DEFAULT '',
  Descripcion2   TEXT(141) DEFAULT '',
  Ubicacion      TEXT(15) DEFAULT '',
  Unidad         TEXT(20) DEFAULT 'Pza',
  Marca          TEXT(20) DEFAULT 'GEN',
  Empaque        REAL DEFAULT 1,
  IVA            INTEGER NOT NULL DEFAULT 16,
  PrecioUnit     REAL NOT NULL DEFAULT 0,
  Precio1        REAL,
  Precio2        REAL,
  Precio3        REAL,
  PrecioCosto    REAL DEFAULT 0,
  Descuento      REAL DEFAULT 0,
  DescuentoCosto REAL DEFAULT 0,
  LDesc          REAL DEFAULT 0,
  Reorden        REAL DEFAULT 0,
  StockMax       REAL,
  Moneda         INTEGER DEFAULT 1,
  Suspendido     INTEGER NOT NULL DEFAULT 0,
  Categoria      INTEGER DEFAULT 0,
  TipoProducto   INTEGER DEFAULT 0,
  Fechap         TEXT DEFAULT (date('now','localtime')),
  TipoSustituto  TEXT
);

-- The product catalogue lists by these fields as one types: each index gives its order without a sort.
CREATE INDEX ProductoNombre ON Producto (Nombre);
CREATE INDEX ProductoDescripcion ON Producto (Descripcion);
CREATE INDEX ProductoMarca ON Producto (Marca);

-- Code, name and description of each product deleted from the catalogue, kept here where every
-- branch reads them, so that the documents, cuts and listings that sold it still name it.
CREATE TABLE ProductoBorrado (
  ClaveProducto  INTEGER PRIMARY KEY,
  CodigodeBarras TEXT,
  Nombre         TEXT,
  Descripcion    TEXT
);

-- Copy of Producto as it was before the last import; each import drops and remakes it.
CREATE TABLE RProducto AS SELECT * FROM Producto WHERE 0;

CREATE TABLE ImagenProducto (
  ClaveProducto INTEGER NOT NULL,
  Imagen        TEXT NOT NULL
);
CREATE INDEX ImagenProductoClave ON ImagenProducto (ClaveProducto);

-- Detail lines shown under the sale grid: NCampoTabla names a column of CdetalleVenta.
CREATE TABLE ParDescDetalles (
  Orden       INTEGER NOT NULL,
  Tabla       TEXT,
  NCampoTabla TEXT NOT NULL,
  Describe    TEXT NOT NULL
);

-- Credit price plan of a product (one per product).
CREATE TABLE PreciosCredito (
  Producto      INTEGER PRIMARY KEY,
  PrecioCredito REAL NOT NULL DEFAULT 0,
  Anticipo      REAL NOT NULL DEFAULT 0,
  ImportePago   REAL NOT NULL DEFAULT 0,
  Periododepago INTEGER NOT NULL DEFAULT 15
);

-- ---------------------------------------------------------------- shipped rows

INSERT INTO Empresa (NombreEmp, RazonSocial, RFC, Direccion, NumSucursales, SucursalDefault,
                     EmailFacturas, RegxFactura, Credito)
VALUES ('MI NEGOCIO', 'MI NEGOCIO S.A. DE C.V. ', 'XAXX010101000', 'CONOCIDO', 1, 1, '', 0, 1);

INSERT INTO Sucursales (IdSucursal, DescripcionSuc, DescripcionC, Direccion, Telefono, NumTerminales, UbicacionBD)
VALUES (1, 'SUCURSAL MATRIZ', 'Matriz', 'CONOCIDO', '', '1', '');

INSERT INTO Monedas (Moneda, Descripcion, TipoCambio) VALUES
  (0, 'Ninguna', 1), (1, 'Pesos', 1), (2, 'Dólares', 17.5), (3, 'Euros', 19);

INSERT INTO Categoria (ClaveCategoria, Descripcion) VALUES (0, 'SIN CATEGORIA');

INSERT INTO Formasdepago (TPago, Descripcion) VALUES
  (0, 'NINGUNA'),
  (1, 'EFECTIVO'),
  (2, 'TARJETA DE DEBITO'),
  (3, 'TARJETA DE CREDITO'),
  (4, 'NOTA DE CREDITO'),
  (5, 'TRANSFERENCIA'),
  (6, 'CHEQUE'),
  (7, 'DEPOSITO BANCARIO'),
  (8, 'POR DEFINIR');

INSERT INTO TiposCompraCliente (TCompra, Descripcion) VALUES
  (0, 'CONTADO'), (1, 'CREDITO'), (2, 'MAYOREO');

INSERT INTO TipoProducto (NTipo, Descripcion) VALUES
  (0, 'PRODUCTO'), (1, 'SERVICIO');

INSERT INTO DescribeMov (DescribeMovto, Descripcion) VALUES
  (0, 'Entrada/Salida de inventario'),
  (1, 'Entrada a inventario'),
  (2, 'Salida de inventario'),
  (3, 'Traspaso enviado'),
  (4, 'Traspaso recibido'),
  (12, 'Devolución');

-- Product 1 is the generic line ("VARIOS") and cannot be deleted.
INSERT INTO Producto (ClaveProducto, CodigodeBarras, Nombre, Descripcion, Unidad, Marca, IVA,
                      PrecioUnit, PrecioCosto, Moneda, Categoria, TipoProducto, TipoSustituto)
VALUES (1, 'VARIOS', 'VARIOS', 'ARTICULOS VARIOS', 'Pza', 'GEN', 16, 0, 0, 1, 0, 0, ' ');

-- Generic customer of counter sales and quotations: it passes the customer checks, so picking it
-- at the counter shows no correction to make. Its state is one of the list's (the shop may put its
-- own); with none the check would ask for one on every counter sale.
INSERT INTO Cliente (RFC, Nombre, Direccion, NumExterior, Colonia, Municipio, Ciudad, Estado, Pais, TipoCompra)
VALUES ('XAXX010101000', 'PUBLICO EN GENERAL', '', 'SN', 'CONOCIDA', 'CONOCIDO', '', 'CIUDAD DE MEXICO', 0, 0);

INSERT INTO ParDescDetalles (Orden, Tabla, NCampoTabla, Describe) VALUES
  (1, 'Producto', 'Nombre', 'Modelo: '),
  (2, 'Producto', 'Descripcion', 'Descripción: '),
  (3, 'Producto', 'Ubicacion', 'Ubicación: '),
  (4, 'Existencia', 'Exis', 'Existencia: '),
  (5, 'DetalleVenta', 'Observacion', 'Observación: ');

-- The first entry of the state list stands for "no state chosen".
INSERT INTO Estados (IdEstado, Nombre) VALUES
  (0, 'NO ESPECIFICADO'),
  (1, 'AGUASCALIENTES'), (2, 'BAJA CALIFORNIA'), (3, 'BAJA CALIFORNIA SUR'), (4, 'CAMPECHE'),
  (5, 'COAHUILA'), (6, 'COLIMA'), (7, 'CHIAPAS'), (8, 'CHIHUAHUA'), (9, 'CIUDAD DE MEXICO'),
  (10, 'DURANGO'), (11, 'GUANAJUATO'), (12, 'GUERRERO'), (13, 'HIDALGO'), (14, 'JALISCO'),
  (15, 'ESTADO DE MEXICO'), (16, 'MICHOACAN'), (17, 'MORELOS'), (18, 'NAYARIT'), (19, 'NUEVO LEON'),
  (20, 'OAXACA'), (21, 'PUEBLA'), (22, 'QUERETARO'), (23, 'QUINTANA ROO'), (24, 'SAN LUIS POTOSI'),
  (25, 'SINALOA'), (26, 'SONORA'), (27, 'TABASCO'), (28, 'TAMAULIPAS'), (29, 'TLAXCALA'),
  (30, 'VERACRUZ'), (31, 'YUCATAN'), (32, 'ZACATECAS');

INSERT INTO Paises (IdPais, NombrePais) VALUES
  (0, 'MEXICO'), (1, 'ESTADOS UNIDOS'), (2, 'CANADA'), (3, 'GUATEMALA'), (4, 'BELICE'),
  (5, 'EL SALVADOR'), (6, 'HONDURAS'), (7, 'NICARAGUA'), (8, 'COSTA RICA'), (9, 'PANAMA'),
  (10, 'CUBA'), (11, 'COLOMBIA'), (12, 'VENEZUELA'), (13, 'ECUADOR'), (14, 'PERU'),
  (15, 'BOLIVIA'), (16, 'CHILE'), (17, 'ARGENTINA'), (18, 'URUGUAY'), (19, 'PARAGUAY'),
  (20, 'BRASIL'), (21, 'ESPAÑA'), (22, 'FRANCIA'), (23, 'ALEMANIA'), (24, 'ITALIA'),
  (25, 'REINO UNIDO'), (26, 'CHINA'), (27, 'JAPON'), (28, 'COREA DEL SUR'), (29, 'OTRO');

-- Permission catalogue: the ids are fixed by the program; the tree hangs on the parent's name.
INSERT INTO Permisos (IdPermiso, NombrePermiso, DescripcionPermiso, PermisoPadre) VALUES
  (1, 'Catalogos', 'Menú de catálogos', ''),
  (2, 'Productos', 'Catálogo de productos', 'Catalogos'),
  (3, 'Clientes', 'Catálogo de clientes', 'Catalogos'),
  (4, 'Proveedores', 'Catálogo de proveedores', 'Catalogos'),
  (5, 'Categorias', 'Catálogo de categorías', 'Catalogos'),
  (6, 'Sucursales', 'Catálogo de sucursales', 'Catalogos'),
  (7, 'Formaspago', 'Formas de pago', 'Catalogos'),
  (8, 'TiposCompra', 'Tipos de compra de clientes', 'Catalogos'),
  (9, 'Usuarios', 'Usuarios y permisos', 'Catalogos'),
  (10, 'TipoProducto', 'Tipos de producto', 'Catalogos'),
  (11, 'Procesos', 'Menú de procesos', ''),
  (12, 'Facturar', 'Pantalla de ventas', 'Procesos'),
  (13, 'Cotizaciones', 'Cotizaciones', 'Procesos'),
  (14, 'PEInventario', 'Entradas y salidas de inventario, traspasos', 'Procesos'),
  (15, 'NotaCredito', 'Notas de crédito', 'Procesos'),
  (16, 'CancelarF', 'Cancelar tickets y facturas', 'Procesos'),
  (17, 'EFolioF', 'Establecer folio de factura', 'Procesos'),
  (18, 'RFactura', 'Reimprimir factura', 'Procesos'),
  (19, 'mCajonDinero', 'Movimientos de caja', 'Procesos'),
  (20, 'mCortesCaja', 'Cortes de caja', 'Procesos'),
  (21, 'Reportes', 'Menú de reportes', ''),
  (22, 'ventadiaria', 'Reporte de venta diaria', 'Reportes'),
  (23, 'VentaMensual', 'Reportes de venta por periodo', 'Reportes'),
  (24, 'RExistencias', 'Reporte de existencias', 'Reportes'),
  (25, 'EReorden', 'Productos con existencias bajas', 'Reportes'),
  (26, 'ExistCosto', 'Existencias al costo', 'Reportes'),
  (27, 'ESInventario', 'Entradas y salidas de inventario', 'Reportes'),
  (28, 'rVEmpleado', 'Ventas por empleado', 'Reportes'),
  (29, 'Parametros', 'Menú de parámetros', ''),
  (30, 'datosempresa', 'Datos de la empresa', 'Parametros'),
  (31, 'DSucursal', 'Parámetros de la sucursal', 'Parametros'),
  (32, 'Herramientas', 'Menú de herramientas', ''),
  (33, 'Exportardatos', 'Exportar datos', 'Herramientas'),
  (34, 'Importardatos', 'Importar datos', 'Herramientas'),
  (35, 'GuardarProducto', 'Guardar cambios de productos', 'Productos'),
  (36, 'NuevoProducto', 'Dar de alta productos', 'Productos'),
  (37, 'GuardarCliente', 'Guardar cambios de clientes', 'Clientes'),
  (38, 'NuevoCliente', 'Dar de alta clientes', 'Clientes'),
  (39, 'CambiarPrecio', 'Cambiar el precio en la venta', 'Facturar'),
  (40, 'mDevoluciones', 'Devoluciones', 'Procesos'),
  (41, 'DescuentoMayor', 'Descuento mayor al máximo por factura', 'Facturar'),
  (42, 'Cuentas', 'Cuentas de dinero de la sucursal', 'Catalogos'),
  (43, 'CajonDinero', 'Abrir el cajón de dinero', 'Herramientas'),
  (44, 'FormatoGrid', 'Formatos de la lista de productos en la venta', 'Facturar'),
  (45, 'CortesAnteriores', 'Ver cortes de caja anteriores', 'mCortesCaja'),
  (46, 'ListaOpciones', 'Lista de opciones de la venta', 'Facturar'),
  (47, 'ReemplazarProducto', 'Reemplazar y buscar en productos', 'Productos'),
  (48, 'CantidadEntrada', 'Cantidad positiva en entradas de inventario', 'PEInventario'),
  (49, 'CantidadSalida', 'Cantidad negativa en salidas de inventario', 'PEInventario'),
  (50, 'nFacturarVentas', 'Factura del día', 'Procesos'),
  (51, 'Vcredito', 'Venta a crédito', 'Procesos'),
  (52, 'Vender', 'Botón de vender (factura)', 'Facturar'),
  (53, 'SumarInventario', 'Sumar a la existencia en entradas de inventario', 'PEInventario');

-- The administrator; the setup tool stores the hash of KORVADIM in ClaveAcceso. It has every field
-- the users form requires, so it can be edited there as it comes.
INSERT INTO Personal (ClavePersonal, PApellidoPat, PApellidoMat, PNombres, Domicilio, NombreUsuario,
                      ClaveAcceso, PermisosIguala, Derechos, Niveles)
VALUES (1, 'ADMINISTRADOR', 'SISTEMA', 'ADMINISTRADOR', 'CONOCIDO', 'ADMIN', '', '',
        '11111111111111111111111111111111111111111111111111', '1');

INSERT INTO UsuarioPermiso (IdUsuario, IdPermiso) SELECT 1, IdPermiso FROM Permisos;

-- Rights string positions. Only a few have a use in the program; the rest are kept for the shop.
WITH RECURSIVE n(p) AS (SELECT 1 UNION ALL SELECT p + 1 FROM n WHERE p < 50)
INSERT INTO CatalogoDerechos (PosDerecho, Descripcion)
SELECT p, CASE p
    WHEN 11 THEN 'Ver detalles del producto'
    WHEN 41 THEN 'Consultar catálogos'
    WHEN 42 THEN 'Realizar ventas'
    WHEN 49 THEN 'Reservado'
    ELSE 'Derecho ' || p END
FROM n;

-- ---------------------------------------------------------------- saved queries

-- Products by barcode (sale search, credit plans).
-- @query ProductoCB select
SELECT Producto.Moneda, Producto.Descuento, Producto.IVA AS Iva, Producto.ClaveProducto,
       Producto.CodigodeBarras, Producto.Nombre, Producto.Descripcion, Producto.PrecioUnit
FROM Producto ORDER BY Producto.CodigodeBarras
-- @end

-- Grants with the permission's name; written through UsuarioPermiso.
-- @query consUsuarioPermiso select
SELECT UsuarioPermiso.IdUsuario, UsuarioPermiso.IdPermiso, Permisos.NombrePermiso
FROM UsuarioPermiso LEFT JOIN Permisos ON Permisos.IdPermiso = UsuarioPermiso.IdPermiso
-- @end

-- Suppliers of a product; written through ProductoProveedor.
-- @query cProductoProv select
SELECT ProductoProveedor.ClaveProducto, ProductoProveedor.RFC, Proveedores.NombreCompania,
       Proveedores.NombreContacto, Proveedores.Telefono, Proveedores.CorreoElectronico
FROM ProductoProveedor LEFT JOIN Proveedores ON Proveedores.RFC = ProductoProveedor.RFC
-- @end

-- Credit price plans with the product's description; written through PreciosCredito.
-- @query CPreciosCredito select
SELECT PreciosCredito.Producto, Producto.Descripcion, Producto.CodigodeBarras,
       PreciosCredito.PrecioCredito, PreciosCredito.Anticipo, PreciosCredito.ImportePago,
       PreciosCredito.Periododepago
FROM PreciosCredito LEFT JOIN Producto ON Producto.ClaveProducto = PreciosCredito.Producto
-- @end

-- Customer picker of the credit statement.
-- @query CClientexlista select
SELECT Cliente.Nombre, Cliente.RFC FROM Cliente ORDER BY Cliente.Nombre COLLATE ESPANOL
-- @end
