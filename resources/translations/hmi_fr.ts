<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>screens</name>
    <message>
        <source>back</source>
        <translation>Retour</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Confirmer</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Information: The transaction is stopped by Remote command!</source>
        <translation>Information&#xa0;: la transaction a été arrêtée à distance&#xa0;!</translation>
    </message>
    <message>
        <source>Information: The cable is unplugged at car side!</source>
        <translation>Information&#xa0;: le câble a été débranché côté véhicule&#xa0;!</translation>
    </message>
    <message>
        <source>Information: The transaction is rejected by the Central System!</source>
        <translation>Information&#xa0;: la transaction a été refusée par le système central&#xa0;!</translation>
    </message>
    <message>
        <source>Information: The card is invalid on this charge point!! Please change another one.</source>
        <translation>Information&#xa0;: cette carte n&apos;est pas valable sur cette borne. Veuillez en utiliser une autre.</translation>
    </message>
    <message>
        <source>Stop Reason:</source>
        <translation>Motif d&apos;arrêt&#xa0;:</translation>
    </message>
    <message>
        <source>Custom</source>
        <translation>Autre</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Démarrer</translation>
    </message>
    <message>
        <source>Abort</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>charge your battery full</source>
        <translation>charge complète</translation>
    </message>
    <message>
        <source>togo</source>
        <translation>restant</translation>
    </message>
    <message>
        <source>remain</source>
        <translation>temps restant</translation>
    </message>
    <message>
        <source>charged</source>
        <translation>chargé</translation>
    </message>
    <message>
        <source>spent</source>
        <translation>durée</translation>
    </message>
    <message>
        <source>cost</source>
        <translation>coût</translation>
    </message>
    <message>
        <source>voltage</source>
        <translation>tension</translation>
    </message>
    <message>
        <source>current</source>
        <translation>courant</translation>
    </message>
    <message>
        <source>Fast Charge</source>
        <translation>Charge rapide</translation>
    </message>
    <message>
        <source>Charge your battery full</source>
        <translation>Recharge complète de la batterie</translation>
    </message>
    <message>
        <source>Fixed Amount</source>
        <translation>Montant fixe</translation>
    </message>
    <message>
        <source>Charge</source>
        <translation>Charge</translation>
    </message>
    <message>
        <source>Set up a charge amount</source>
        <translation>Choisissez la quantité à charger</translation>
    </message>
    <message>
        <source>Auto manage the charging load makes the charging process more efficient</source>
        <translation>La gestion automatique de la charge rend la recharge plus efficace</translation>
    </message>
    <message>
        <source>Set the Amount/Quantity to charge</source>
        <translation>Choisissez le montant ou la quantité pour</translation>
    </message>
    <message>
        <source>your vehicle</source>
        <translation>votre véhicule</translation>
    </message>
    <message>
        <source>Choose Amount</source>
        <translation>Choisir un montant</translation>
    </message>
    <message>
        <source>Choose Quantity</source>
        <translation>Choisir une quantité</translation>
    </message>
    <message>
        <source>or</source>
        <translation>ou</translation>
    </message>
    <message>
        <source>You set to: Charge</source>
        <translation>Votre choix&#xa0;: charger</translation>
    </message>
    <message>
        <source>kWh | Cost</source>
        <translation>kWh | Coût</translation>
    </message>
    <message>
        <source>Set Amount(Max.100)</source>
        <translation>Montant (max. 100)</translation>
    </message>
    <message>
        <source>Set Quantity(Max.100)</source>
        <translation>Quantité (max. 100)</translation>
    </message>
    <message>
        <source>How would you like to pay?</source>
        <translation>Comment souhaitez-vous payer&#xa0;?</translation>
    </message>
    <message>
        <source>Use your</source>
        <translation>Utilisez votre</translation>
    </message>
    <message>
        <source>NFC</source>
        <translation>carte NFC</translation>
    </message>
    <message>
        <source>Credit Card</source>
        <translation>carte bancaire</translation>
    </message>
    <message>
        <source>on the</source>
        <translation>sur le</translation>
    </message>
    <message>
        <source>Paypad in front of the Charger</source>
        <translation>terminal de paiement devant la borne</translation>
    </message>
    <message>
        <source>Please plug the charger cable into</source>
        <translation>Veuillez brancher le câble de charge sur</translation>
    </message>
    <message>
        <source>Standby</source>
        <translation>Prêt</translation>
    </message>
    <message>
        <source>You set to:</source>
        <translation>Choix&#xa0;:</translation>
    </message>
    <message>
        <source>charging</source>
        <translation>en charge</translation>
    </message>
    <message>
        <source>preparing</source>
        <translation>préparation</translation>
    </message>
    <message>
        <source>stopping</source>
        <translation>arrêt</translation>
    </message>
    <message>
        <source>suspended</source>
        <translation>suspendu</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Arrêter</translation>
    </message>
    <message>
        <source>You need to use the card which you have</source>
        <translation>Présentez la carte utilisée pour</translation>
    </message>
    <message>
        <source>chosen for the payment method to end this</source>
        <translation>le paiement afin de terminer</translation>
    </message>
    <message>
        <source>process</source>
        <translation>la session</translation>
    </message>
    <message>
        <source>Are you sure to END the</source>
        <translation>Voulez-vous vraiment ARRÊTER</translation>
    </message>
    <message>
        <source>charging process?</source>
        <translation>la recharge&#xa0;?</translation>
    </message>
    <message>
        <source>Complete !</source>
        <translation>Terminé&#xa0;!</translation>
    </message>
    <message>
        <source>Payment Processed</source>
        <translation>Paiement effectué</translation>
    </message>
    <message>
        <source>Successfully!</source>
        <translation>avec succès&#xa0;!</translation>
    </message>
    <message>
        <source>Thank you for using!</source>
        <translation>Merci et à bientôt&#xa0;!</translation>
    </message>
    <message>
        <source>How can we help?</source>
        <translation>Comment pouvons-nous vous aider&#xa0;?</translation>
    </message>
    <message>
        <source>Paying</source>
        <translation>Paiement</translation>
    </message>
    <message>
        <source>Stopping</source>
        <translation>Arrêt</translation>
    </message>
    <message>
        <source>Status bar icons</source>
        <translation>Icônes de la barre d&apos;état</translation>
    </message>
    <message>
        <source>Touch &lt;b&gt;Fast Charge&lt;/b&gt; on the home screen.</source>
        <translation>Touchez &lt;b&gt;Charge rapide&lt;/b&gt; sur l&apos;écran d&apos;accueil.</translation>
    </message>
    <message>
        <source>Present your NFC or credit card on the Paypad in front of the charger.</source>
        <translation>Présentez votre carte NFC ou bancaire au terminal de paiement devant la borne.</translation>
    </message>
    <message>
        <source>Plug the charging cable into your vehicle.</source>
        <translation>Branchez le câble de charge sur votre véhicule.</translation>
    </message>
    <message>
        <source>Check your choice on the &lt;b&gt;Standby&lt;/b&gt; screen and touch &lt;b&gt;Start&lt;/b&gt;.</source>
        <translation>Vérifiez votre choix sur l&apos;écran &lt;b&gt;Prêt&lt;/b&gt; et touchez &lt;b&gt;Démarrer&lt;/b&gt;.</translation>
    </message>
    <message>
        <source>Charging ends when your vehicle reports a full battery. While it runs, the screen shows the state of charge, the energy charged, the time spent and the cost.</source>
        <translation>La charge s&apos;arrête quand votre véhicule signale une batterie pleine. Pendant la charge, l&apos;écran affiche le niveau de charge, l&apos;énergie chargée, la durée et le coût.</translation>
    </message>
    <message>
        <source>Charge a set amount</source>
        <translation>Charger un montant fixe</translation>
    </message>
    <message>
        <source>Touch &lt;b&gt;Fixed Amount&lt;/b&gt; on the home screen.</source>
        <translation>Touchez &lt;b&gt;Montant fixe&lt;/b&gt; sur l&apos;écran d&apos;accueil.</translation>
    </message>
    <message>
        <source>Choose an amount (€5 to €30) or a quantity (5 to 30 kWh), or touch &lt;b&gt;Custom&lt;/b&gt; and type any value up to 100.</source>
        <translation>Choisissez un montant (5 à 30 €) ou une quantité (5 à 30 kWh), ou touchez &lt;b&gt;Autre&lt;/b&gt; et saisissez une valeur jusqu&apos;à 100.</translation>
    </message>
    <message>
        <source>Touch &lt;b&gt;Confirm&lt;/b&gt;. The other value is worked out at %1.</source>
        <translation>Touchez &lt;b&gt;Confirmer&lt;/b&gt;. L&apos;autre valeur est calculée à %1.</translation>
    </message>
    <message>
        <source>Pay, plug in and touch &lt;b&gt;Start&lt;/b&gt;, as for Fast Charge.</source>
        <translation>Payez, branchez et touchez &lt;b&gt;Démarrer&lt;/b&gt;, comme pour la charge rapide.</translation>
    </message>
    <message>
        <source>While charging, the screen shows the energy still to go and the time remaining.</source>
        <translation>Pendant la charge, l&apos;écran affiche l&apos;énergie restante et le temps restant.</translation>
    </message>
    <message>
        <source>How to pay</source>
        <translation>Comment payer</translation>
    </message>
    <message>
        <source>Pay with an NFC card or a credit card on the Paypad in front of the charger when the screen asks how you would like to pay.</source>
        <translation>Payez par carte NFC ou bancaire sur le terminal de paiement devant la borne lorsque l&apos;écran vous le demande.</translation>
    </message>
    <message>
        <source>Energy costs %1. The cost so far is shown while charging, the total on the summary.</source>
        <translation>L&apos;énergie coûte %1. Le coût en cours s&apos;affiche pendant la charge, le total dans le récapitulatif.</translation>
    </message>
    <message>
        <source>Keep your card at hand: the same card ends the session.</source>
        <translation>Gardez votre carte à portée de main : la même carte termine la session.</translation>
    </message>
    <message>
        <source>If a card is refused, a message asks you to use another one.</source>
        <translation>Si une carte est refusée, un message vous invite à en utiliser une autre.</translation>
    </message>
    <message>
        <source>How to stop charging</source>
        <translation>Comment arrêter la charge</translation>
    </message>
    <message>
        <source>Touch &lt;b&gt;Stop&lt;/b&gt; on the charging screen.</source>
        <translation>Touchez &lt;b&gt;Arrêter&lt;/b&gt; sur l&apos;écran de charge.</translation>
    </message>
    <message>
        <source>Present the card you paid with on the Paypad.</source>
        <translation>Présentez au terminal la carte avec laquelle vous avez payé.</translation>
    </message>
    <message>
        <source>Touch &lt;b&gt;Confirm&lt;/b&gt; to end the charging process.</source>
        <translation>Touchez &lt;b&gt;Confirmer&lt;/b&gt; pour terminer la charge.</translation>
    </message>
    <message>
        <source>Check the summary, touch &lt;b&gt;Confirm&lt;/b&gt; and then &lt;b&gt;OK&lt;/b&gt;.</source>
        <translation>Vérifiez le récapitulatif, touchez &lt;b&gt;Confirmer&lt;/b&gt; puis &lt;b&gt;OK&lt;/b&gt;.</translation>
    </message>
    <message>
        <source>Unplug the cable and hang it back on the charger.</source>
        <translation>Débranchez le câble et raccrochez-le à la borne.</translation>
    </message>
    <message>
        <source>Before charging starts, &lt;b&gt;Abort&lt;/b&gt; on the Standby screen ends the session.</source>
        <translation>Avant le début de la charge, &lt;b&gt;Annuler&lt;/b&gt; sur l&apos;écran Prêt termine la session.</translation>
    </message>
    <message>
        <source>What the icons mean</source>
        <translation>Signification des icônes</translation>
    </message>
    <message>
        <source>Cable plugged into your vehicle</source>
        <translation>Câble branché sur votre véhicule</translation>
    </message>
    <message>
        <source>Cable not plugged in</source>
        <translation>Câble non branché</translation>
    </message>
    <message>
        <source>Charger online</source>
        <translation>Borne en ligne</translation>
    </message>
    <message>
        <source>Online, but the charging network cannot be reached</source>
        <translation>En ligne, mais le réseau de recharge est injoignable</translation>
    </message>
    <message>
        <source>No network connection</source>
        <translation>Pas de connexion réseau</translation>
    </message>
    <message>
        <source>Back to the home screen</source>
        <translation>Retour à l&apos;écran d&apos;accueil</translation>
    </message>
    <message>
        <source>This help</source>
        <translation>Cette aide</translation>
    </message>
    <message>
        <source>power</source>
        <translation>puissance</translation>
    </message>
    <message>
        <source>The authorization has expired: the cable was not plugged in in time. Please start again.</source>
        <translation>L&apos;autorisation a expiré&#xa0;: le câble n&apos;a pas été branché à temps. Veuillez recommencer.</translation>
    </message>
    <message>
        <source>Card not accepted. Please try another card.</source>
        <translation>Carte refusée. Veuillez essayer une autre carte.</translation>
    </message>
    <message>
        <source>The central system rejected the transaction.</source>
        <translation>Le système central a refusé la transaction.</translation>
    </message>
    <message>
        <source>The central system did not confirm the transaction.</source>
        <translation>Le système central n&apos;a pas confirmé la transaction.</translation>
    </message>
    <message>
        <source>Stopped before any energy was delivered.</source>
        <translation>Arrêt avant toute fourniture d&apos;énergie.</translation>
    </message>
    <message>
        <source>No energy was delivered.</source>
        <translation>Aucune énergie n&apos;a été fournie.</translation>
    </message>
    <message>
        <source>Stopped by the central system.</source>
        <translation>Arrêt par le système central.</translation>
    </message>
    <message>
        <source>Stopped by a charger fault.</source>
        <translation>Arrêt dû à un défaut de la borne.</translation>
    </message>
    <message>
        <source>The cable was unplugged at the car.</source>
        <translation>Le câble a été débranché côté véhicule.</translation>
    </message>
    <message>
        <source>Session ended</source>
        <translation>Session terminée</translation>
    </message>
    <message>
        <source>Temporarily out of order</source>
        <translation>Temporairement hors service</translation>
    </message>
</context>
</TS>
