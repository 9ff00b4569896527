#pragma once
// Kestril's labelled capture field. A form asks the library for a field by class name through the
// exported factory (the library may be loaded with dlopen/QLibrary or linked), then uses it through
// this class: every member a host calls is virtual, so a host that only loaded the library needs no
// link-time symbol of it. Events are Qt signals whose arguments are references: a handler connected
// directly may change them (set KeyAscii to 0 to swallow a character, KeyCode to 0 to drop a key).
// A host that does not link the library connects them by signature, e.g.
//   connect(campo, SIGNAL(KeyPress(short&)), this, SLOT(alTeclear(short&)));

#include <QColor>
#include <QCoreApplication>
#include <QFont>
#include <QLibrary>
#include <QMap>
#include <QString>
#include <QVariant>
#include <QWidget>

#if defined(KESTRIL_BUILD)
#define KESTRIL_EXPORT Q_DECL_EXPORT
#else
#define KESTRIL_EXPORT Q_DECL_IMPORT
#endif

namespace kestril {

// Class name the factory knows.
inline constexpr const char* kClaseCCaptura = "Kestril.CCaptura";
// Exported symbol of the factory.
inline constexpr const char* kSimboloFabrica = "KestrilCreaControl";
// Dynamic property of a field that keeps the letter case as typed instead of upper-casing it: for
// names the program does not own, such as printer queues, whose case matters.
inline constexpr const char* kPropiedadTalComoSeTeclea = "TalComoSeTeclea";
// A field that holds a folder or file path: Linux paths tell letter case apart, so the field keeps
// what is typed as it comes. Every path field of the forms is marked through here.
inline void MarcaCampoRuta(QObject* campo) { campo->setProperty(kPropiedadTalComoSeTeclea, true); }

// A form's saved settings of one control: key -> value. A value equal to its default is not kept,
// so a missing key reads back as the default the reader gives.
class PropertyBag {
public:
    QVariant ReadProperty(const QString& key, const QVariant& defaultValue = {}) const {
        auto it = valores_.constFind(key);
        return it == valores_.constEnd() ? defaultValue : it.value();
    }
    void WriteProperty(const QString& key, const QVariant& value, const QVariant& defaultValue = {}) {
        if (defaultValue.isValid() && value == defaultValue)
            valores_.remove(key);
        else
            valores_.insert(key, value);
    }
    bool contains(const QString& key) const { return valores_.contains(key); }
    const QMap<QString, QVariant>& values() const { return valores_; }
    void setValues(const QMap<QString, QVariant>& v) { valores_ = v; }

private:
    QMap<QString, QVariant> valores_;
};

} // namespace kestril

class KESTRIL_EXPORT CCaptura : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text WRITE setText)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(int MaxLength READ MaxLength WRITE setMaxLength)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(bool Locked READ Locked WRITE setLocked)
    Q_PROPERTY(int PosicionText READ PosicionText WRITE setPosicionText)
    Q_PROPERTY(int labelAlignment READ labelAlignment WRITE setLabelAlignment)
    Q_PROPERTY(QFont Font READ Font WRITE setFont)
    Q_PROPERTY(QFont FontText READ FontText WRITE setFontText)
    Q_PROPERTY(QColor ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(QColor BackColor READ BackColor WRITE setBackColor)

public:
    ~CCaptura() override;

    // The field's value (the text box's text).
    virtual QString Text() const = 0;
    virtual void setText(const QString& texto) = 0;
    // The label's caption.
    virtual QString Caption() const = 0;
    virtual void setCaption(const QString& titulo) = 0;
    // Most characters a person may type or paste; 0 = no limit. A value given by the program is
    // kept whole. Values outside 0..32767 are refused.
    virtual int MaxLength() const = 0;
    virtual void setMaxLength(int largo) = 0;
    // Enables the text box only: the label keeps taking clicks.
    virtual bool Enabled() const = 0;
    virtual void setEnabled(bool activo) = 0;
    // Read-only box: it still takes the focus, selects and raises its key events.
    virtual bool Locked() const = 0;
    virtual void setLocked(bool bloqueado) = 0;
    // 0 = label above the box, any other value (up to 255) = label at the left.
    virtual int PosicionText() const = 0;
    virtual void setPosicionText(int posicion) = 0;
    // Caption alignment: 0 left, 1 right, 2 centre; other values are refused.
    virtual int labelAlignment() const = 0;
    virtual void setLabelAlignment(int alineacion) = 0;
    // The label's font and the box's font.
    virtual QFont Font() const = 0;
    virtual void setFont(const QFont& fuente) = 0;
    virtual QFont FontText() const = 0;
    virtual void setFontText(const QFont& fuente) = 0;
    // The container's colours; assigning only re-applies them.
    virtual QColor ForeColor() const = 0;
    virtual void setForeColor(const QColor& ignorado) = 0;
    virtual QColor BackColor() const = 0;
    virtual void setBackColor(const QColor& ignorado) = 0;

    // Saved settings of the field, read when the form loads and written when it is kept.
    virtual void ReadProperties(const kestril::PropertyBag& bolsa) = 0;
    virtual void WriteProperties(kestril::PropertyBag& bolsa) const = 0;

    // Gives the text box the focus (its whole text gets selected).
    virtual void SetFocus() = 0;

signals:
    void Change();
    void Enter();
    void Click(uchar& Area);
    void KeyPress(short& KeyAscii);
    void KeyDown(short& KeyCode, short& Shift);

protected:
    explicit CCaptura(QWidget* padre) : QWidget(padre) {}
};

// The factory: a new control of the named class, child of padre; null and *error set when the
// library has no such class.
using KestrilCreaControlFn = QWidget* (*)(const char* clase, QWidget* padre, QString* error);

extern "C" KESTRIL_EXPORT QWidget* KestrilCreaControl(const char* clase, QWidget* padre, QString* error);

namespace kestril {

// Host side: the factory of the library file at ruta (loaded once and kept loaded), or null with
// *error set.
inline KestrilCreaControlFn cargaFabrica(const QString& ruta, QString* error = nullptr) {
    QLibrary biblioteca(ruta);
    auto fabrica = reinterpret_cast<KestrilCreaControlFn>(biblioteca.resolve(kSimboloFabrica));
    if (!fabrica && error)
        *error = QStringLiteral("No se pudo cargar la biblioteca de controles Kestril (%1): %2")
                     .arg(ruta, biblioteca.errorString());
    return fabrica;
}

// Host side: a new capture field made by the given factory, or null with *error set.
inline CCaptura* creaCCaptura(KestrilCreaControlFn fabrica, QWidget* padre, QString* error = nullptr) {
    if (!fabrica) {
        if (error)
            *error = QStringLiteral("La biblioteca de controles Kestril no está cargada.");
        return nullptr;
    }
    // The factory builds a CCaptura for this class name; no RTTI lookup is needed (and a host that
    // did not link the library has none to use).
    return static_cast<CCaptura*>(fabrica(kClaseCCaptura, padre, error));
}

// Host side: the library file a program uses, $KESTRIL_LIB when set, else lib/libkestril.so beside
// the program's bin/ folder (the layout of both the build tree and the install).
inline QString rutaBiblioteca() {
    const QString env = qEnvironmentVariable("KESTRIL_LIB");
    if (!env.isEmpty())
        return env;
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../lib/libkestril.so");
}

// Host side: a new capture field from the program's library (loaded on first use).
inline CCaptura* creaCCaptura(QWidget* padre, QString* error = nullptr) {
    static KestrilCreaControlFn fabrica = nullptr;
    if (!fabrica)
        fabrica = cargaFabrica(rutaBiblioteca(), error);
    return fabrica ? creaCCaptura(fabrica, padre, error) : nullptr;
}

// A capture field of a form, made by the linked library: its object name, caption and length limit.
// An "&" in the caption marks the access key of the old layouts and is not shown ("&&" shows one).
inline CCaptura* CreaCampoCaptura(QWidget* padre, const QString& nombre, const QString& titulo, int largo) {
    QString error;
    auto* c = static_cast<CCaptura*>(KestrilCreaControl(kClaseCCaptura, padre, &error));
    c->setObjectName(nombre);
    QString texto = titulo;
    texto.replace(QStringLiteral("&&"), QStringLiteral("\x01")).remove(QLatin1Char('&'))
        .replace(QStringLiteral("\x01"), QStringLiteral("&"));
    c->setCaption(texto);
    if (largo > 0) c->setMaxLength(largo);
    return c;
}

} // namespace kestril
