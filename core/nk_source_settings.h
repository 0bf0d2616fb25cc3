// core/nk_source_settings.h -- what a data source's open sets for itself and
// the user's own values it stands in for.
//
// Opening a reservoir set runs "ascalevector 0.075" and gives the current
// particle trace a seed box over the set with 10 x 10 x 1 points; a kind-103
// source runs "ascalevector 0.1". These hold while that source is open: the
// source's open calls NKBeginSourceSettings before it sets them and
// NKEndSourceSettings after, and closefiles and the next model's reset
// (unless keepsettings keeps the display as it is) call
// NKRestoreUserSettings, which gives back what the user had, however many
// sources were opened in between. The user's values are kept here only, and
// a source's open never overwrites them: a second source opened over the
// first under keepsettings finds them kept. What the user chooses while a
// source is open stays: ascalevectors and noascalevectors (without a field)
// call NKForgetUserAutoScale (noascalevectors leaves the source's factor,
// which goes with the source). Of the seed, the box and the counts go back
// each only while they are as the source set them: what the user changed
// while the source was open stays, and the seed of a trace the user added
// or made current is the user's. The seed goes through core's trace-seed
// slots (nk_model_hooks.h), filled by tools/.
#pragma once

// Keeps the user's automatic vector scaling and the current trace's seed,
// where no source kept them before; until NKEndSourceSettings the scaling
// the source runs is not taken for the user's choice.
void NKBeginSourceSettings(void);
// Notes the seed the source gave the trace kept.
void NKEndSourceSettings(void);
// The user switched the automatic scaling of the main vector result (outside
// a source's open), with a factor of the user's own when bFactor: that
// choice stays when the source goes.
void NKForgetUserAutoScale(bool bFactor);
// Puts the user's values back where a source's open replaced them, and
// keeps nothing after it.
void NKRestoreUserSettings(void);
