#include "sale/pago.h"

#include "shell/estado.h"
#include "shell/texto.h"

namespace venta {

namespace {

// A reference or number as the cashier typed it counts as numeric when it reads whole as a number.
bool EsNumerico(const QString& texto)
{
    bool ok = false;
    texto.trimmed().toDouble(&ok);
    return ok;
}

// A number as the messages print it: 60, 99.5, 1234.56.
QString NumeroPlano(double valor)
{
    return QString::number(shell::Centavos(valor) / 100.0, 'g', 15);
}

}  // namespace

bool PideReferenciaCuenta(int codigo)
{
    return codigo == 2 || codigo == 3 || codigo == 5 || codigo == 6 || codigo == 7;
}

std::vector<FormaPago> ListaFormasPago(const std::array<QString, 16>& nombres)
{
    std::vector<FormaPago> lista;
    for (int codigo = 0; codigo <= 14; ++codigo)
        if (!nombres[static_cast<size_t>(codigo)].isEmpty())
            lista.push_back({codigo, nombres[static_cast<size_t>(codigo)]});
    return lista;
}

bool CargaNombresFormaPago(db::Database& bd, std::array<QString, 16>& nombres, db::Error* error)
{
    if (!nombres[1].isEmpty() || !nombres[2].isEmpty())
        return true;
    auto filas = bd.select(QStringLiteral("SELECT TPago, Descripcion FROM Formasdepago ORDER BY TPago"),
                           {}, error);
    if (!filas)
        return false;
    for (const db::Row& fila : *filas) {
        const qint64 codigo = fila.integer(QStringLiteral("TPago"));
        if (codigo >= 0 && codigo < static_cast<qint64>(nombres.size()))
            nombres[static_cast<size_t>(codigo)] = fila.text(QStringLiteral("Descripcion"));
    }
    return true;
}

QStringList ListaVendedores(const EstadoGlobal& g)
{
    QStringList lista;
    const int ultimo = std::min<int>(g.MaxVendedor, static_cast<int>(g.NombresVendedor.size()) - 1);
    for (int i = 0; i <= ultimo; ++i)
        lista << shell::Ajusta(g.NombresVendedor[static_cast<size_t>(i)], 20);
    return lista;
}

std::optional<double> SaldoNotaCredito(db::Database& bd, qint64 numero, db::Error* error)
{
    auto filas = bd.select(QStringLiteral("SELECT Total FROM NotaCredito WHERE Status = 1 AND Numero = ?"),
                           {numero}, error);
    if (!filas)
        return std::nullopt;
    if (filas->empty())
        return 0.0;
    return filas->front().real(QStringLiteral("Total"));
}

QString FormatoPesos(double importe)
{
    return QStringLiteral("$ ") + shell::Formato(importe, QStringLiteral("###,###,##0.00"));
}

ModeloPago::ModeloPago(ui::Prompts& prompts, LeeSaldo saldo)
    : prompts_(prompts), saldo_(std::move(saldo))
{
}

void ModeloPago::inicia(std::vector<FormaPago> formas, double totalVenta, int condicion)
{
    formas_ = std::move(formas);
    totalVenta_ = totalVenta;
    condicion_ = condicion;
    aceptado_ = false;
    numPagos_ = 0;
    posicion_ = formas_.size() > 1 ? 1 : 0;
    textoImporte_ = QStringLiteral("0");
    importeEditable_ = true;
    listaVisible_ = false;
    notaCreditoPago_.clear();
    referenciaPago_.clear();
    observacion_.reset();
    reiniciaPagos();
    importeRecibido_ = QStringLiteral("0");
}

void ModeloPago::reiniciaPagos()
{
    pagos_ = PagosVenta{};
    totalAbonado_ = 0;
}

int ModeloPago::codigoEn(int posicion) const
{
    if (posicion < 0 || posicion >= static_cast<int>(formas_.size()))
        return -1;
    return formas_[static_cast<size_t>(posicion)].codigo;
}

void ModeloPago::elige(int posicion)
{
    posicion_ = posicion;
    const int codigo = codigoEn(posicion);
    tipoPagoVenta_ = codigo;
    importeEditable_ = true;
    if (PideReferenciaCuenta(codigo)) {
        const QString r = prompts_.input(
            QStringLiteral("Teclee referencia 4 ultimos digitos de la cuenta de donde el cliente hace "
                           "el deposito."),
            QStringLiteral("4 ultimos digitos."), QString());
        if (EsNumerico(r)) {
            referenciaPago_ = r.trimmed();
        } else {
            prompts_.message(QStringLiteral("La respuesta no es numerica, vuelva a capturar."),
                             ui::Icon::None);
            referenciaPago_.clear();
        }
    } else if (codigo == PagoNotaCredito) {
        // The amount is the note's balance or nothing: an amount typed before must not ride along
        // with a note that is not found.
        importeEditable_ = false;
        notaCreditoPago_.clear();
        textoImporte_ = QStringLiteral("0");
        const QString r = prompts_.input(
            QStringLiteral("Teclee el numero de la nota de credito que desea aplicar: "),
            QStringLiteral("Aplicar nota de crédito."), QString());
        bool entero = false;
        const qint64 numero = r.trimmed().toLongLong(&entero);
        if (!entero || numero <= 0) {
            prompts_.message(QStringLiteral("No es un número válido."), ui::Icon::None);
            return;
        }
        const std::optional<double> saldo = saldo_ ? saldo_(numero) : std::optional<double>(0.0);
        if (!saldo)
            return;  // the reader told the person why
        if (shell::Centavos(*saldo) > 0) {
            notaCreditoPago_ = QString::number(numero);
            textoImporte_ = NumeroPlano(*saldo);
        } else {
            prompts_.message(QStringLiteral("No se encontró saldo para la nota de crédito."),
                             ui::Icon::None);
        }
    }
}

void ModeloPago::escribeImporte(const QString& texto)
{
    if (importeEditable_)
        textoImporte_ = texto;
}

std::optional<double> ModeloPago::leeImporte(QString* mensaje) const
{
    // The amount may come back formatted ("$ 1,500.00"); what the cashier typed is read as any
    // amount, and nothing typed is no amount.
    QString t = textoImporte_.trimmed();
    if (t.startsWith(QLatin1Char('$')))
        t.remove(0, 1);
    if (t.trimmed().isEmpty())
        return 0.0;
    return shell::LeeNumeroEn(t, QStringLiteral("Importe"), shell::RangoNumero{}, mensaje);
}

double ModeloPago::importe() const
{
    return leeImporte().value_or(0.0);
}

bool ModeloPago::importeLegible()
{
    QString mensaje;
    if (leeImporte(&mensaje))
        return true;
    prompts_.message(mensaje, ui::Icon::None);
    return false;
}

void ModeloPago::formateaImporte()
{
    // A text that is no amount stays as typed, for the cashier to correct.
    if (importeEditable_ && leeImporte())
        textoImporte_ = FormatoPesos(importe());
}

QString ModeloPago::cambio() const
{
    const qint64 c = shell::Centavos(importe()) + shell::Centavos(totalAbonado_)
                     - shell::Centavos(totalVenta_);
    return FormatoPesos(c > 0 ? c / 100.0 : 0.0);
}

QString ModeloPago::referenciaDe(int codigo) const
{
    if (PideReferenciaCuenta(codigo))
        return referenciaPago_;
    if (codigo == PagoNotaCredito)
        return notaCreditoPago_;
    return QString();
}

void ModeloPago::recalculaAbonado()
{
    totalAbonado_ = 0;
    for (size_t i = 0; i < 5; ++i)
        if (pagos_.FormaPagoSel[i] > 0)
            totalAbonado_ += pagos_.ImportesPago[i];
}

QString ModeloPago::textoPagos() const
{
    if (!listaVisible_)
        return QString();
    QString texto;
    double total = 0;
    for (size_t i = 0; i < 5; ++i) {
        if (pagos_.FormaPagoSel[i] <= 0)
            continue;
        const int codigo = static_cast<int>(pagos_.FormaPagoSel[i]);
        QString nombre;
        for (const FormaPago& f : formas_)
            if (f.codigo == codigo)
                nombre = f.nombre;
        texto += QStringLiteral("Pago con ") + nombre + QStringLiteral(" Importe: ")
                 + shell::Formato(pagos_.ImportesPago[i], QStringLiteral("###,##0.00"))
                 + QStringLiteral("\r\n");
        total += pagos_.ImportesPago[i];
    }
    return texto + QStringLiteral("Total Abonado: ") + shell::Formato(total, QStringLiteral("###,##0.00"));
}

bool ModeloPago::agrega()
{
    if (!importeLegible())
        return false;
    const int codigo = codigoEn(posicion_);
    const double monto = importe();
    if (posicion_ < 1 || codigo < 1 || shell::Centavos(monto) <= 0) {
        prompts_.message(QStringLiteral("No se permite agregar sin definir el tipo de pago."),
                         ui::Icon::None);
        return false;
    }
    if (numPagos_ == 0)
        reiniciaPagos();
    const QString referencia = referenciaDe(codigo);
    if (codigo == PagoNotaCredito && referencia.isEmpty()) {
        prompts_.message(QStringLiteral("No se encontró saldo para la nota de crédito."), ui::Icon::None);
        return false;
    }
    for (int i = 1; i <= numPagos_; ++i) {
        const auto n = static_cast<size_t>(i);
        if (static_cast<int>(pagos_.FormaPagoSel[n]) != codigo || pagos_.ReferenciasPago[n] != referencia)
            continue;
        // A credit note pays once: its balance counted twice would pay with money that is not there.
        if (codigo == PagoNotaCredito) {
            prompts_.message(QStringLiteral("La nota de crédito ") + referencia
                                 + QStringLiteral(" ya está aplicada en esta venta."),
                             ui::Icon::None);
            return false;
        }
        if (prompts_.question(QStringLiteral("Ya existe un pago las mismas propiedades. Continuar ?"))
            != ui::Answer::Yes)
            return false;
        break;
    }
    if (numPagos_ >= 3) {
        prompts_.message(QStringLiteral("Sólo se permiten ") + QString::number(numPagos_)
                             + QStringLiteral(" pagos."),
                         ui::Icon::None);
        return false;
    }
    ++numPagos_;
    const auto n = static_cast<size_t>(numPagos_);
    pagos_.ImportesPago[n] = monto;
    pagos_.FormaPagoSel[n] = codigo;
    pagos_.ReferenciasPago[n] = referencia;
    listaVisible_ = true;
    recalculaAbonado();
    posicion_ = 0;
    importeEditable_ = true;
    textoImporte_ = QStringLiteral("0");
    importeRecibido_ = NumeroPlano(totalAbonado_);
    return true;
}

bool ModeloPago::acepta()
{
    if (!importeLegible())
        return false;
    const int codigo = codigoEn(posicion_);
    const qint64 monto = shell::Centavos(importe());
    const qint64 abonado = shell::Centavos(totalAbonado_);
    const qint64 total = shell::Centavos(totalVenta_);
    if (posicion_ < 1 || codigo < 1 || monto <= 0) {
        // Nothing typed, but the payments added already cover the sale (three of them leave no
        // room for a typed one): the sale is paid as it stands.
        if (numPagos_ > 0 && (posicion_ < 1 || monto == 0) && abonado >= total) {
            aceptado_ = true;
            return true;
        }
        prompts_.message(QStringLiteral("No se permite sin definir el tipo de pago o en ceros."),
                         ui::Icon::None);
        return false;
    }
    if (monto + abonado < total) {
        prompts_.message(QStringLiteral("No se ha cubierto el importe de la venta. ")
                             + NumeroPlano((monto + abonado) / 100.0) + QStringLiteral(" < ")
                             + NumeroPlano(totalVenta_),
                         ui::Icon::None);
        return false;
    }
    if (!agrega())
        return false;
    aceptado_ = true;
    return true;
}

void ModeloPago::pideObservacion()
{
    observacion_ = prompts_.input(QStringLiteral("Teclea la observación de la venta:"),
                                  QStringLiteral("Observacion en venta."),
                                  QStringLiteral("Observaciones."));
}

void ModeloPago::aplica(EstadoGlobal& g) const
{
    g.PagoAceptado = aceptado_ ? 1 : 0;
    g.ImportesPago = pagos_.ImportesPago;
    g.FormaPagoSel = pagos_.FormaPagoSel;
    g.ReferenciasPago = pagos_.ReferenciasPago;
    g.TipoPagoVenta = tipoPagoVenta_;
    g.CondicionPagoSel = condicion_;
    g.ImporteRecibido = importeRecibido_;
    if (observacion_)
        g.ObservacionVenta = *observacion_;
}

}  // namespace venta
