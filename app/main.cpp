#include "app/application.h"
#include "app/converter_form.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    quillet::ConfigureApplication(application);
    quillet::ConverterForm form;
    form.show();
    return QApplication::exec();
}
