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
    <message>
        <source>How can we help?</source>
        <translation>¿En qué podemos ayudarle?</translation>
    </message>
    <message>
        <source>Paying</source>
        <translation>Pago</translation>
    </message>
    <message>
        <source>Stopping</source>
        <translation>Detener la carga</translation>
    </message>
    <message>
        <source>Status bar icons</source>
        <translation>Iconos de la barra de estado</translation>
    </message>
    <message>
        <source>Touch &lt;b&gt;Fast Charge&lt;/b&gt; on the home screen.</source>
        <translation>Toque &lt;b&gt;Carga rápida&lt;/b&gt; en la pantalla de inicio.</translation>
    </message>
    <message>
        <source>Present your NFC or credit card on the Paypad in front of the charger.</source>
        <translation>Acerque su tarjeta NFC o de crédito al terminal de pago frente al cargador.</translation>
    </message>
    <message>
        <source>Plug the charging cable into your vehicle.</source>
        <translation>Conecte el cable de carga a su vehículo.</translation>
    </message>
    <message>
        <source>Check your choice on the &lt;b&gt;Standby&lt;/b&gt; screen and touch &lt;b&gt;Start&lt;/b&gt;.</source>
        <translation>Compruebe su elección en la pantalla &lt;b&gt;Listo&lt;/b&gt; y toque &lt;b&gt;Iniciar&lt;/b&gt;.</translation>
    </message>
    <message>
        <source>Charging ends when your vehicle reports a full battery. While it runs, the screen shows the state of charge, the energy charged, the time spent and the cost.</source>
        <translation>La carga termina cuando su vehículo indica que la batería está llena. Mientras tanto, la pantalla muestra el nivel de carga, la energía cargada, la duración y el coste.</translation>
    </message>
    <message>
        <source>Charge a set amount</source>
        <translation>Cargar un importe fijo</translation>
    </message>
    <message>
        <source>Touch &lt;b&gt;Fixed Amount&lt;/b&gt; on the home screen.</source>
        <translation>Toque &lt;b&gt;Importe fijo&lt;/b&gt; en la pantalla de inicio.</translation>
    </message>
    <message>
        <source>Choose an amount (€5 to €30) or a quantity (5 to 30 kWh), or touch &lt;b&gt;Custom&lt;/b&gt; and type any value up to 100.</source>
        <translation>Elija un importe (de 5 a 30 €) o una cantidad (de 5 a 30 kWh), o toque &lt;b&gt;Otro valor&lt;/b&gt; e introduzca un valor de hasta 100.</translation>
    </message>
    <message>
        <source>Touch &lt;b&gt;Confirm&lt;/b&gt;. The other value is worked out at %1.</source>
        <translation>Toque &lt;b&gt;Confirmar&lt;/b&gt;. El otro valor se calcula a %1.</translation>
    </message>
    <message>
        <source>Pay, plug in and touch &lt;b&gt;Start&lt;/b&gt;, as for Fast Charge.</source>
        <translation>Pague, conecte y toque &lt;b&gt;Iniciar&lt;/b&gt;, como en la carga rápida.</translation>
    </message>
    <message>
        <source>While charging, the screen shows the energy still to go and the time remaining.</source>
        <translation>Durante la carga, la pantalla muestra la energía pendiente y el tiempo restante.</translation>
    </message>
    <message>
        <source>How to pay</source>
        <translation>Cómo pagar</translation>
    </message>
    <message>
        <source>Pay with an NFC card or a credit card on the Paypad in front of the charger when the screen asks how you would like to pay.</source>
        <translation>Pague con tarjeta NFC o de crédito en el terminal de pago frente al cargador cuando la pantalla se lo pida.</translation>
    </message>
    <message>
        <source>Energy costs %1. The cost so far is shown while charging, the total on the summary.</source>
        <translation>La energía cuesta %1. El coste acumulado se muestra durante la carga y el total en el resumen.</translation>
    </message>
    <message>
        <source>Keep your card at hand: the same card ends the session.</source>
        <translation>Tenga su tarjeta a mano: la misma tarjeta finaliza la sesión.</translation>
    </message>
    <message>
        <source>If a card is refused, a message asks you to use another one.</source>
        <translation>Si se rechaza una tarjeta, un mensaje le pedirá que use otra.</translation>
    </message>
    <message>
        <source>How to stop charging</source>
        <translation>Cómo detener la carga</translation>
    </message>
    <message>
        <source>Touch &lt;b&gt;Stop&lt;/b&gt; on the charging screen.</source>
        <translation>Toque &lt;b&gt;Detener&lt;/b&gt; en la pantalla de carga.</translation>
    </message>
    <message>
        <source>Present the card you paid with on the Paypad.</source>
        <translation>Acerque al terminal la tarjeta con la que pagó.</translation>
    </message>
    <message>
        <source>Touch &lt;b&gt;Confirm&lt;/b&gt; to end the charging process.</source>
        <translation>Toque &lt;b&gt;Confirmar&lt;/b&gt; para finalizar la carga.</translation>
    </message>
    <message>
        <source>Check the summary, touch &lt;b&gt;Confirm&lt;/b&gt; and then &lt;b&gt;OK&lt;/b&gt;.</source>
        <translation>Revise el resumen, toque &lt;b&gt;Confirmar&lt;/b&gt; y después &lt;b&gt;OK&lt;/b&gt;.</translation>
    </message>
    <message>
        <source>Unplug the cable and hang it back on the charger.</source>
        <translation>Desconecte el cable y cuélguelo de nuevo en el cargador.</translation>
    </message>
    <message>
        <source>Before charging starts, &lt;b&gt;Abort&lt;/b&gt; on the Standby screen ends the session.</source>
        <translation>Antes de iniciar la carga, &lt;b&gt;Cancelar&lt;/b&gt; en la pantalla Listo finaliza la sesión.</translation>
    </message>
    <message>
        <source>What the icons mean</source>
        <translation>Qué significan los iconos</translation>
    </message>
    <message>
        <source>Cable plugged into your vehicle</source>
        <translation>Cable conectado a su vehículo</translation>
    </message>
    <message>
        <source>Cable not plugged in</source>
        <translation>Cable no conectado</translation>
    </message>
    <message>
        <source>Charger online</source>
        <translation>Cargador en línea</translation>
    </message>
    <message>
        <source>Online, but the charging network cannot be reached</source>
        <translation>En línea, pero la red de carga no responde</translation>
    </message>
    <message>
        <source>No network connection</source>
        <translation>Sin conexión de red</translation>
    </message>
    <message>
        <source>Back to the home screen</source>
        <translation>Volver a la pantalla de inicio</translation>
    </message>
    <message>
        <source>This help</source>
        <translation>Esta ayuda</translation>
    </message>
    <message>
        <source>power</source>
        <translation>potencia</translation>
    </message>
    <message>
        <source>The authorization has expired: the cable was not plugged in in time. Please start again.</source>
        <translation>La autorización ha caducado: el cable no se conectó a tiempo. Vuelva a empezar, por favor.</translation>
    </message>
    <message>
        <source>Card not accepted. Please try another card.</source>
        <translation>Tarjeta no aceptada. Pruebe con otra tarjeta, por favor.</translation>
    </message>
    <message>
        <source>The central system rejected the transaction.</source>
        <translation>El sistema central ha rechazado la transacción.</translation>
    </message>
    <message>
        <source>The central system did not confirm the transaction.</source>
        <translation>El sistema central no ha confirmado la transacción.</translation>
    </message>
    <message>
        <source>Stopped before any energy was delivered.</source>
        <translation>Detenida antes de suministrar energía.</translation>
    </message>
    <message>
        <source>No energy was delivered.</source>
        <translation>No se ha suministrado energía.</translation>
    </message>
    <message>
        <source>Stopped by the central system.</source>
        <translation>Detenida por el sistema central.</translation>
    </message>
    <message>
        <source>Stopped by a charger fault.</source>
        <translation>Detenida por una avería del cargador.</translation>
    </message>
    <message>
        <source>The cable was unplugged at the car.</source>
        <translation>El cable se ha desconectado del vehículo.</translation>
    </message>
    <message>
        <source>Session ended</source>
        <translation>Sesión finalizada</translation>
    </message>
    <message>
        <source>Temporarily out of order</source>
        <translation>Fuera de servicio temporalmente</translation>
    </message>
</context>
</TS>
