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
        <translation>Information : la transaction a été arrêtée à distance !</translation>
    </message>
    <message>
        <source>Information: The cable is unplugged at car side!</source>
        <translation>Information : le câble a été débranché côté véhicule !</translation>
    </message>
    <message>
        <source>Information: The transaction is rejected by the Central System!</source>
        <translation>Information : la transaction a été refusée par le système central !</translation>
    </message>
    <message>
        <source>Information: The card is invalid on this charge point!! Please change another one.</source>
        <translation>Information : cette carte n'est pas valable sur cette borne. Veuillez en utiliser une autre.</translation>
    </message>
    <message>
        <source>Stop Reason:</source>
        <translation>Motif d'arrêt :</translation>
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
        <translation>Votre choix : charger</translation>
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
        <translation>Comment souhaitez-vous payer ?</translation>
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
        <translation>Choix :</translation>
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
        <translation>la recharge ?</translation>
    </message>
    <message>
        <source>Complete !</source>
        <translation>Terminé !</translation>
    </message>
    <message>
        <source>Payment Processed</source>
        <translation>Paiement effectué</translation>
    </message>
    <message>
        <source>Successfully!</source>
        <translation>avec succès !</translation>
    </message>
    <message>
        <source>Thank you for using!</source>
        <translation>Merci et à bientôt !</translation>
    </message>
</context>
</TS>
