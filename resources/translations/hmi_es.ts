<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES">
<context>
    <name>screens</name>
    <message>
        <source>back</source>
        <translation>Volver</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Confirmar</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Information: The transaction is stopped by Remote command!</source>
        <translation>Información: la transacción se ha detenido a distancia.</translation>
    </message>
    <message>
        <source>Information: The cable is unplugged at car side!</source>
        <translation>Información: el cable se ha desconectado del vehículo.</translation>
    </message>
    <message>
        <source>Information: The transaction is rejected by the Central System!</source>
        <translation>Información: el sistema central ha rechazado la transacción.</translation>
    </message>
    <message>
        <source>Information: The card is invalid on this charge point!! Please change another one.</source>
        <translation>Información: esta tarjeta no es válida en este punto de carga. Use otra, por favor.</translation>
    </message>
    <message>
        <source>Stop Reason:</source>
        <translation>Motivo de parada:</translation>
    </message>
    <message>
        <source>Custom</source>
        <translation>Otro valor</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Iniciar</translation>
    </message>
    <message>
        <source>Abort</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>charge your battery full</source>
        <translation>carga completa</translation>
    </message>
    <message>
        <source>togo</source>
        <translation>restante</translation>
    </message>
    <message>
        <source>remain</source>
        <translation>tiempo restante</translation>
    </message>
    <message>
        <source>charged</source>
        <translation>cargado</translation>
    </message>
    <message>
        <source>spent</source>
        <translation>duración</translation>
    </message>
    <message>
        <source>cost</source>
        <translation>coste</translation>
    </message>
    <message>
        <source>voltage</source>
        <translation>tensión</translation>
    </message>
    <message>
        <source>current</source>
        <translation>corriente</translation>
    </message>
    <message>
        <source>Fast Charge</source>
        <translation>Carga rápida</translation>
    </message>
    <message>
        <source>Charge your battery full</source>
        <translation>Cargue la batería al completo</translation>
    </message>
    <message>
        <source>Fixed Amount</source>
        <translation>Importe fijo</translation>
    </message>
    <message>
        <source>Charge</source>
        <translation>Carga</translation>
    </message>
    <message>
        <source>Set up a charge amount</source>
        <translation>Elija la cantidad a cargar</translation>
    </message>
    <message>
        <source>Auto manage the charging load makes the charging process more efficient</source>
        <translation>La gestión automática de la carga hace la recarga más eficiente</translation>
    </message>
    <message>
        <source>Set the Amount/Quantity to charge</source>
        <translation>Fije el importe o la cantidad para</translation>
    </message>
    <message>
        <source>your vehicle</source>
        <translation>su vehículo</translation>
    </message>
    <message>
        <source>Choose Amount</source>
        <translation>Elegir importe</translation>
    </message>
    <message>
        <source>Choose Quantity</source>
        <translation>Elegir cantidad</translation>
    </message>
    <message>
        <source>or</source>
        <translation>o</translation>
    </message>
    <message>
        <source>You set to: Charge</source>
        <translation>Su elección: cargar</translation>
    </message>
    <message>
        <source>kWh | Cost</source>
        <translation>kWh | Coste</translation>
    </message>
    <message>
        <source>Set Amount(Max.100)</source>
        <translation>Importe (máx. 100)</translation>
    </message>
    <message>
        <source>Set Quantity(Max.100)</source>
        <translation>Cantidad (máx. 100)</translation>
    </message>
    <message>
        <source>How would you like to pay?</source>
        <translation>¿Cómo desea pagar?</translation>
    </message>
    <message>
        <source>Use your</source>
        <translation>Use su</translation>
    </message>
    <message>
        <source>NFC</source>
        <translation>tarjeta NFC</translation>
    </message>
    <message>
        <source>Credit Card</source>
        <translation>tarjeta de crédito</translation>
    </message>
    <message>
        <source>on the</source>
        <translation>en el</translation>
    </message>
    <message>
        <source>Paypad in front of the Charger</source>
        <translation>terminal de pago frente al cargador</translation>
    </message>
    <message>
        <source>Please plug the charger cable into</source>
        <translation>Conecte el cable de carga a</translation>
    </message>
    <message>
        <source>Standby</source>
        <translation>Listo</translation>
    </message>
    <message>
        <source>You set to:</source>
        <translation>Elección:</translation>
    </message>
    <message>
        <source>charging</source>
        <translation>cargando</translation>
    </message>
    <message>
        <source>preparing</source>
        <translation>preparando</translation>
    </message>
    <message>
        <source>stopping</source>
        <translation>deteniendo</translation>
    </message>
    <message>
        <source>suspended</source>
        <translation>en pausa</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Detener</translation>
    </message>
    <message>
        <source>You need to use the card which you have</source>
        <translation>Acerque la tarjeta con la que ha</translation>
    </message>
    <message>
        <source>chosen for the payment method to end this</source>
        <translation>pagado para finalizar</translation>
    </message>
    <message>
        <source>process</source>
        <translation>el proceso</translation>
    </message>
    <message>
        <source>Are you sure to END the</source>
        <translation>¿Seguro que desea FINALIZAR</translation>
    </message>
    <message>
        <source>charging process?</source>
        <translation>la carga?</translation>
    </message>
    <message>
        <source>Complete !</source>
        <translation>¡Completado!</translation>
    </message>
    <message>
        <source>Payment Processed</source>
        <translation>Pago procesado</translation>
    </message>
    <message>
        <source>Successfully!</source>
        <translation>correctamente.</translation>
    </message>
    <message>
        <source>Thank you for using!</source>
        <translation>¡Gracias por su visita!</translation>
    </message>
</context>
</TS>
