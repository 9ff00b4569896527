#include "platform/ui/prompts.h"
#include "platform/ui/traducciones.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QMessageBox>

#include <gtest/gtest.h>

using namespace ui;

TEST(ScriptedPrompts, AnswersFromTheScriptThenDeclines) {
    ScriptedPrompts p;
    setDefaultPrompts(&p);
    p.pushAnswer(Answer::Yes);
    p.pushAnswer(Answer::Cancel);
    p.pushInput("ABC");
    Prompts& d = defaultPrompts();
    EXPECT_EQ(d.question("¿Seguro?"), Answer::Yes);
    EXPECT_EQ(d.question("¿Otra?"), Answer::No);  // Cancel is not offered here
    EXPECT_EQ(d.question("¿Y?", {}, true), Answer::Cancel);
    EXPECT_EQ(d.input("Clave"), QStringLiteral("ABC"));
    EXPECT_EQ(d.input("Clave"), QString());
    d.message("Uno", Icon::Warning);
    d.message("Dos");
    EXPECT_EQ(p.messages(), (QStringList{"Uno", "Dos"}));
    EXPECT_EQ(p.lastMessage(), QStringLiteral("Dos"));
    ASSERT_EQ(p.asked().size(), 7u);
    EXPECT_EQ(p.asked()[5].icon, Icon::Warning);
    setDefaultPrompts(nullptr);
    EXPECT_NE(&defaultPrompts(), static_cast<Prompts*>(&p));
}

// Message box buttons and the print preview speak Spanish once the catalogue is loaded, though the
// tests run in the C locale.
TEST(TraduccionesQt, BotonesYVistaPreviaEnEspanol) {
    ASSERT_TRUE(ui::CargaTraduccionesQt(QCoreApplication::instance()));
    EXPECT_TRUE(ui::CargaTraduccionesQt(QCoreApplication::instance()));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancelar"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Sí"));
    EXPECT_NE(QCoreApplication::translate("QPrintPreviewDialog", "Print"), QStringLiteral("Print"));
    QMessageBox caja(QMessageBox::Question, QString(), QStringLiteral("?"), QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(caja.button(QMessageBox::No)->text(), QStringLiteral("&No"));
    EXPECT_EQ(caja.button(QMessageBox::Yes)->text(), QStringLiteral("&Sí"));
    EXPECT_FALSE(ui::CargaTraduccionesQt(nullptr));
}
