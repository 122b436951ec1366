// The object the swatch plug-in publishes once `ovex.loadPlugin` has loaded it.
declare const swatch: {
    /** Paints a swatch fading to white and hands it over as the PNG `name` (drc:NAME). */
    paint(name: string, width: number, height: number, color: string): boolean;
    /** The id of the plug-in's label widget, for an `object` of type "ovex/widget". */
    widgetId(): number;
    setCaption(text: string): void;
    caption(): string;
};
