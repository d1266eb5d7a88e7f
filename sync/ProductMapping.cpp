#include "sync/ProductMapping.h"

namespace vantrelo {

// One row per column, in the order of the statements; the last rows are columns that the
// declared fields hold but no statement carries.
const TProductColumn ProductColumns[] = {
    {u"EST_CODIGO", ftInteger, 0, u"prod_codigo", ftInteger, 0, {ckInteger}, {ckInteger}, {ckInteger}},
    {u"EST_PRODUTO", ftString, 60, u"prod_nome", ftString, 60, {ckText}, {ckText}, {ckText}},
    {u"EST_UNIDADE", ftString, 12, u"prod_unidade", ftString, 10, {ckText}, {ckText}, {ckText}},
    {u"PROD_CUSTO", ftFloat, 0, u"prod_custo", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"PROD_MARGEM", ftFloat, 0, u"prod_margem", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"EST_PRECOVENDA", ftFloat, 0, u"prod_precovenda", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"EST_ULTCOMPRADOR", ftString, 32, u"prod_ultcomprador", ftString, 30, {ckAnsi}, {ckAnsi}, {ckAnsi}},
    {u"EST_OBS", ftString, 600, u"prod_obs", ftString, 600, {ckAnsi}, {ckAnsi}, {ckAnsi}},
    {u"EST_DATACAD", ftDate, 0, u"prod_datacad", ftDate, 0, {ckDate}, {ckDate}, {ckDate}},
    {u"EST_DATAULTCOMPRA", ftDate, 0, u"prod_dataultcompra", ftDate, 0, {ckDate}, {ckDate}, {ckDate}},
    {u"EST_DATAULTVENDA", ftDateTime, 0, u"prod_dataultvenda", ftDateTime, 0, {ckDate}, {ckDate}, {ckDate}},
    {u"EST_TIPO", ftString, 30, u"prod_tipo", ftString, 30, {ckAnsi}, {ckAnsi}, {ckAnsi}},
    {u"REFERENCIA", ftString, 20, u"prod_referencia", ftString, 20, {ckAnsi}, {ckAnsi}, {ckAnsi}},
    {u"SERIE", ftString, 20, u"prod_serie", ftString, 20, {ckAnsi}, {ckAnsi}, {ckAnsi}},
    {u"DESCONTO", ftFloat, 0, u"prod_desc", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"CODFORNECEDOR", ftString, 30, u"prod_codfornecedor", ftString, 30, {ckAnsi}, {ckAnsi}, {ckAnsi}},
    {u"CODIGO_BARRA", ftString, 30, u"prod_codbarra", ftString, 30, {ckAnsi}, {ckAnsi}, {ckAnsi}},
    {u"EST_SITUACAO", ftFixedChar, 1, u"prod_situacao", ftFixedChar, 1, {ckAnsi}, {ckAnsi}, {ckAnsi}},
    {u"QTDE_SAIDA", ftInteger, 0, u"prod_qtde_saida", ftInteger, 0, {ckNone}, {ckInteger}, {ckInteger}},
    {u"DATA_VENC", ftDate, 0, u"prod_data_venc", ftDate, 0, {ckDate}, {ckDate}, {ckDate}},
    {u"EST_LUCRO", ftFloat, 0, u"prod_lucro", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"EST_FOTO", ftBlob, 0, u"prod_foto", ftBlob, 0, {ckBytes}, {ckBytes}, {ckBytes}},
    {u"TAMANHO", ftFixedChar, 2, u"prod_tamanho", ftFixedChar, 2, {ckAnsi}, {ckAnsi}, {ckAnsi}},
    {u"TOTAL_VIRTUAL", ftFloat, 0, nullptr, ftUnknown, 0, {ckNone}, {ckConstZeroFloat}, {ckConstZeroFloat}},
    {u"TAB_PRECO2", ftFloat, 0, u"prod_tab_preco2", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"TAB_PRECO3", ftFloat, 0, u"prod_tab_preco3", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"TIPO_PRODUTO", ftInteger, 0, u"prod_tipo_produto", ftInteger, 0, {ckInteger}, {ckInteger}, {ckInteger}},
    {u"TIPO_SERVICO", ftInteger, 0, nullptr, ftUnknown, 0, {ckNone}, {ckConstOne}, {ckConstOne}},
    {u"EST_PRECOTOTAL", ftFloat, 0, nullptr, ftUnknown, 0, {ckNone}, {ckConstZeroFloat}, {ckConstZeroFloat}},
    {u"PROD_MARGE_TAB2", ftFloat, 0, u"prod_marge_tab2", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"PROD_MARGE_TAB3", ftFloat, 0, u"prod_marge_tab3", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"PESO_LIQ", ftFloat, 0, u"prod_peso_liq", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"PESO_BRUTO", ftFloat, 0, u"prod_peso_bruto", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"ESTOQUE_INICIADO", ftInteger, 0, u"prod_estoque_iniciado", ftFloat, 0, {ckConstOne}, {ckFloat}, {ckFloat}},
    {u"DATA_ALTERACAO", ftDateTime, 0, u"data_alteracao", ftDateTime, 0, {ckNow}, {ckNow}, {ckNow}},
    {u"LIBERAR_DESCONTO", ftFloat, 0, u"prod_lib_desconto", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"EST_IDVEICULO", ftInteger, 0, u"prod_idveiculo", ftInteger, 0, {ckInteger}, {ckInteger}, {ckInteger}},
    {u"EST_IDTIPO", ftInteger, 0, u"prod_idtipo", ftInteger, 0, {ckInteger}, {ckInteger}, {ckInteger}},
    {u"PROD_IDMARCA", ftInteger, 0, u"prod_idmarca", ftInteger, 0, {ckInteger}, {ckInteger}, {ckInteger}},
    {u"PROD_NOMEMARCA", ftString, 30, u"prod_nomemarca", ftString, 30, {ckAnsi}, {ckAnsi}, {ckAnsi}},
    {u"PROD_IDCAT", ftInteger, 0, u"prod_idcat", ftInteger, 0, {ckInteger}, {ckInteger}, {ckInteger}},
    {u"PROD_NOMECAT", ftString, 30, u"prod_nomecat", ftString, 30, {ckAnsi}, {ckAnsi}, {ckAnsi}},
    {u"PROD_IDGRUPO", ftInteger, 0, u"prod_idgrupo", ftInteger, 0, {ckInteger}, {ckInteger}, {ckInteger}},
    {u"PROD_NOMEGRUPO", ftString, 30, u"prod_nomegrupo", ftString, 30, {ckAnsi}, {ckAnsi}, {ckAnsi}},
    {u"PROD_IDSUBG", ftInteger, 0, u"prod_idsubg", ftInteger, 0, {ckInteger}, {ckInteger}, {ckInteger}},
    {u"PROD_NOMESUBG", ftString, 30, u"prod_nomesubg", ftString, 30, {ckAnsi}, {ckAnsi}, {ckAnsi}},
    {u"PROD_IDFAB", ftInteger, 0, u"prod_idfab", ftInteger, 0, {ckInteger}, {ckInteger}, {ckInteger}},
    {u"PROD_NOMEFAB", ftString, 30, u"prod_nomefab", ftString, 30, {ckAnsi}, {ckAnsi}, {ckAnsi}},
    {u"PROD_IDFOR", ftInteger, 0, u"prod_idfor", ftInteger, 0, {ckInteger}, {ckInteger}, {ckInteger}},
    {u"PROD_NOMEFOR", ftString, 30, u"prod_nomefor", ftString, 30, {ckAnsi}, {ckAnsi}, {ckAnsi}},
    {u"PROD_LOCALIZACAO", ftString, 12, u"prod_localizacao", ftString, 12, {ckAnsi}, {ckAnsi}, {ckAnsi}},
    {u"PROD_CODINTEGRACAO", ftInteger, 0, u"prod_codintegracao", ftInteger, 0, {ckInteger}, {ckInteger}, {ckInteger}},
    {u"PROD_ORIGEM", ftInteger, 0, u"prod_origem", ftInteger, 0, {ckInteger}, {ckInteger}, {ckInteger}},
    {u"PROD_EXTTIPI", ftString, 3, u"prod_exttipi", ftString, 3, {ckAnsi}, {ckAnsi}, {ckAnsi}},
    {u"PROD_NCM", ftString, 20, u"prod_ncm", ftString, 20, {ckAnsi}, {ckAnsi}, {ckAnsi}},
    {u"PROD_CARGATRIB_UF", ftFixedChar, 2, u"prod_ibpt_uf", ftFixedChar, 2, {ckAnsi}, {ckAnsi}, {ckAnsi}},
    {u"PROD_CARGATRIB_NACIONAL", ftFloat, 0, u"prod_ibpt_nacional", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"PROD_CARGATRIB_IMPORTADO", ftFloat, 0, u"prod_ibpt_importado", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"PROD_CARGATRIB_ESTADUAL", ftFloat, 0, u"prod_ibpt_estadual", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"PROD_CARGATRIB_MUNICIPAL", ftFloat, 0, u"prod_ibpt_municipal", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"PROD_CARGATRIB_FONTE", ftString, 30, u"prod_ibpt_fonte", ftString, 30, {ckAnsi}, {ckAnsi}, {ckAnsi}},
    {u"PROD_CEST", ftString, 8, u"prod_cest", ftString, 8, {ckAnsi}, {ckAnsi}, {ckAnsi}},
    {u"PROD_CODCST", ftInteger, 0, u"prod_codcst", ftInteger, 0, {ckInteger}, {ckInteger}, {ckInteger}},
    {u"PROD_CODCSOSN", ftInteger, 0, u"prod_codcsosn", ftInteger, 0, {ckInteger}, {ckInteger}, {ckInteger}},
    {u"PROD_ALIQICMS", ftFloat, 0, u"prod_aliqicms", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"PROD_CODCSTIPI", ftInteger, 0, u"prod_codcstipi", ftInteger, 0, {ckInteger}, {ckInteger}, {ckInteger}},
    {u"PROD_CODCSTPIS", ftInteger, 0, u"prod_codcstpis", ftInteger, 0, {ckInteger}, {ckInteger}, {ckInteger}},
    {u"PROD_CODCSTCOFINS", ftInteger, 0, u"prod_codcstcofins", ftInteger, 0, {ckInteger}, {ckInteger}, {ckInteger}},
    {u"PROD_ALIQIPI", ftFloat, 0, u"prod_aliqipi", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"PROD_ALIQPIS", ftFloat, 0, u"prod_aliqpis", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"PROD_ALIQCOFINS", ftFloat, 0, u"prod_aliqcofins", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"PROD_REDICMS", ftFloat, 0, u"prod_redicms", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"PROD_ALIQMVA", ftFloat, 0, u"prod_aliqmva", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"PROD_ALIQIVA", ftFloat, 0, u"prod_aliqiva", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"PROD_STICMS", ftFixedChar, 3, u"prod_sticms", ftFixedChar, 3, {ckAnsi}, {ckAnsi}, {ckAnsi}},
    {u"PROD_ICMSST", ftFloat, 0, u"prod_icmsst", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"PROD_RED_BASEICMSST", ftFloat, 0, u"prod_red_baseicmsst", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"PROD_CFOP", ftFixedChar, 4, u"prod_cfop", ftFixedChar, 4, {ckAnsi}, {ckAnsi}, {ckAnsi}},
    {u"PROD_DESPESASFIXA", ftFloat, 0, u"prod_despesasfixa", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"PROD_PERCOMISSAO", ftFloat, 0, u"prod_percomissao", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"PROD_FCI", ftFloat, 0, u"prod_fci", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"PROD_CODMODBICMS", ftInteger, 0, u"prod_codmodbicms", ftInteger, 0, {ckInteger}, {ckInteger}, {ckInteger}},
    {u"PROD_CODMODBCST", ftInteger, 0, u"prod_codmodbcst", ftInteger, 0, {ckInteger}, {ckInteger}, {ckInteger}},
    {u"PROD_DAFILIAL", ftInteger, 0, u"prod_dafilial", ftInteger, 0, {ckInteger}, {ckInteger}, {ckInteger}},
    {u"PROD_PCONSUMO", ftInteger, 0, u"prod_pconsumo", ftInteger, 0, {ckInteger}, {ckInteger}, {ckInteger}},
    {u"PROD_UNDTRIB", ftString, 10, u"prod_undtrib", ftString, 10, {ckAnsi}, {ckAnsi}, {ckAnsi}},
    {u"MEDI_SIMNAO", ftFixedChar, 1, u"medi_simnao", ftFixedChar, 1, {ckAnsi}, {ckAnsi}, {ckAnsi}},
    {u"MEDI_CODANVISA", ftString, 13, u"medi_codanvisa", ftString, 13, {ckAnsi}, {ckAnsi}, {ckAnsi}},
    {u"MEDI_VPMC", ftFloat, 0, u"medi_vpmc", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"MEDI_MSGINSECAO", ftString, 100, u"medi_msginsecao", ftString, 100, {ckAnsi}, {ckAnsi}, {ckAnsi}},
    {u"RAST_SIMNAO", ftFixedChar, 1, u"rast_simnao", ftFixedChar, 1, {ckAnsi}, {ckAnsi}, {ckAnsi}},
    {u"RAST_PDESCAREL", ftFixedChar, 1, u"rast_pdescarel", ftFixedChar, 1, {ckAnsi}, {ckAnsi}, {ckAnsi}},
    {u"RAST_CNPJFABRI", ftFixedChar, 18, u"rast_cnpjfabri", ftFixedChar, 18, {ckAnsi}, {ckAnsi}, {ckAnsi}},
    {u"RAST_CODBENEFI", ftString, 10, u"rast_codbenefi", ftString, 10, {ckAnsi}, {ckAnsi}, {ckAnsi}},
    {u"COMB_SIMNAO", ftFixedChar, 1, u"comb_simnao", ftFixedChar, 1, {ckAnsi}, {ckAnsi}, {ckAnsi}},
    {u"COMB_CODANP", ftLargeint, 0, u"comb_codanp", ftLargeint, 0, {ckLargeInt}, {ckLargeInt}, {ckLargeInt}},
    {u"COMB_DESCANP", ftString, 100, u"comb_descanp", ftString, 100, {ckAnsi}, {ckAnsi}, {ckAnsi}},
    {u"COMB_PERCGLP", ftFloat, 0, u"comb_percglp", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"COMB_PERCGNN", ftFloat, 0, u"comb_percgnn", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"COMB_PERCGNI", ftFloat, 0, u"comb_percgni", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"COMB_VLPARTIDA", ftFloat, 0, u"comb_vlpartida", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"PROD_PERCFCP", ftFloat, 0, u"prod_percfcp", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"PROD_PFCPRETIDO", ftFloat, 0, u"prod_pfcpretido", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"PROD_EXIGIRLOTE", ftInteger, 0, u"prod_exigirlote", ftInteger, 0, {ckInteger}, {ckInteger}, {ckInteger}},
    {u"SINC", ftFixedChar, 1, u"sinc", ftFixedChar, 1, {ckAnsi}, {ckInStatement}, {ckAnsi}},
    {u"PROD_USARPRECODAGRADE", ftFixedChar, 1, u"prod_usarprecodagrade", ftFixedChar, 1, {ckAnsi, u"pgrade"}, {ckAnsi, u"PGRADE"}, {ckAnsi, u"PGRADE"}},
    {u"BAL_SIMNAO", ftFixedChar, 1, u"bal_simnao", ftFixedChar, 1, {ckAnsi}, {ckAnsi}, {ckAnsi}},
    {u"BAL_TPVENDA", ftFixedChar, 1, u"bal_tpvenda", ftFixedChar, 1, {ckAnsi}, {ckAnsi}, {ckAnsi}},
    {u"BAL_DIASVAL", ftInteger, 0, u"bal_diasval", ftInteger, 0, {ckInteger}, {ckInteger}, {ckInteger}},
    {u"BAL_LERAUTO", ftFixedChar, 1, u"bal_lerauto", ftFixedChar, 1, {ckAnsi}, {ckAnsi}, {ckAnsi}},
    {u"BAL_ENVIADO", ftFixedChar, 1, u"bal_enviado", ftFixedChar, 1, {ckConstText, nullptr, nullptr, u"n"}, {ckNone}, {ckConstText, nullptr, nullptr, u"N"}},
    {u"PRECO_FAIXA_QTDE", ftInteger, 0, u"preco_faixa_qtde", ftInteger, 0, {ckInteger}, {ckInteger}, {ckInteger}},
    {u"PROD_USUARIO", ftInteger, 0, u"prod_usuario", ftInteger, 0, {ckInteger}, {ckConstOne}, {ckInteger}},
    {u"PROD_ACIMADE1", ftFloat, 0, u"prod_acimade1", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"PROD_ACIMADE1_MERGEM", ftFloat, 0, u"prod_acimade1_mergem", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"PROD_ACIMADE1_VALOR", ftFloat, 0, u"prod_acimade1_valor", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"PROD_ACIMADE2", ftFloat, 0, u"prod_acimade2", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"PROD_ACIMADE2_MERGEM", ftFloat, 0, u"prod_acimade2_mergem", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"PROD_ACIMADE2_VALOR", ftFloat, 0, u"prod_acimade2_valor", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"PROD_ACIMADE3", ftFloat, 0, u"prod_acimade3", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"PROD_ACIMADE3_MERGEM", ftFloat, 0, u"prod_acimade3_mergem", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"PROD_ACIMADE3_VALOR", ftFloat, 0, u"prod_acimade3_valor", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"PROD_ACIMADE4", ftFloat, 0, u"prod_acimade4", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"PROD_ACIMADE4_MERGEM", ftFloat, 0, u"prod_acimade4_mergem", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"PROD_ACIMADE4_VALOR", ftFloat, 0, u"prod_acimade4_valor", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"PROD_EMPROMOCAO", ftFixedChar, 1, u"prod_empromocao", ftFixedChar, 1, {ckAnsi}, {ckAnsi}, {ckAnsi}},
    {u"PROD_MARGPROM", ftFloat, 0, u"prod_margprom", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"PROD_VLPROM", ftFloat, 0, u"prod_vlprom", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"PROD_DTEXPIRAR_PROM", ftDate, 0, u"prod_dtexpirar_prom", ftDate, 0, {ckDateTime}, {ckDate}, {ckDateTime}},
    {u"PROD_OBSNFE", ftString, 200, u"prod_obsnfe", ftString, 200, {ckAnsi}, {ckAnsi}, {ckAnsi}},
    {u"PROD_CADPOR", ftInteger, 0, u"prod_cadpor", ftInteger, 0, {ckInteger, nullptr, u"PROD_USUARIO"}, {ckNone}, {ckInteger, nullptr, u"prod_usuario"}},
    {u"PROD_PGCOMISSAO", ftFixedChar, 1, u"prod_pgcomissao", ftFixedChar, 1, {ckAnsi}, {ckAnsi}, {ckAnsi}},
    {u"PROD_FRACIONADO", ftInteger, 0, u"prod_fracionado", ftInteger, 0, {ckInteger}, {ckInteger}, {ckInteger}},
    {u"PROD_AUTO_ALTER_PRECO_FAIXAQTDE", ftInteger, 0, u"prod_auto_alter_preco_faixaqtde", ftInteger, 0, {ckInteger}, {ckInteger, u"PROD_AUTO_ALTER"}, {ckInteger}},
    {u"PROD_NAO_PER_DESC", ftInteger, 0, u"prod_nao_per_desc", ftInteger, 0, {ckInteger}, {ckInteger}, {ckInteger}},
    {u"PROD_EMBAL_CODB", ftString, 20, u"prod_embal_codb", ftString, 20, {ckAnsi}, {ckAnsi}, {ckAnsi}},
    {u"PROD_EMBAL_UNID", ftString, 6, u"prod_embal_unid", ftString, 6, {ckAnsi}, {ckAnsi}, {ckAnsi}},
    {u"PROD_EMBAL_QTDE", ftFloat, 0, u"prod_embal_qtde", ftFloat, 0, {ckFloat}, {ckFloat}, {ckFloat}},
    {u"PROD_EMBAL_UNQT", ftString, 6, u"prod_embal_unqt", ftString, 6, {ckAnsi}, {ckAnsi}, {ckAnsi}},
    {u"PROD_LER_QTDE_EMBAL", ftInteger, 0, u"prod_ler_qtde_embal", ftInteger, 0, {ckInteger}, {ckInteger}, {ckInteger}},
    {u"EST_CMEDIO", ftFloat, 0, u"prod_cmedio", ftFloat, 0, {ckNone}, {ckNone}, {ckNone}},
    {u"CODENQ_IPI", ftInteger, 0, u"codenq_ipi", ftInteger, 0, {ckNone}, {ckNone}, {ckNone}},
    {u"MEDI_CONTROLADO", ftFixedChar, 1, u"medi_controlado", ftFixedChar, 1, {ckNone}, {ckNone}, {ckNone}},
    {u"BAL_DTENVIO", ftString, 10, u"bal_dtenvio", ftString, 10, {ckNone}, {ckNone}, {ckNone}},
    {u"PROD_FATORCONV", ftInteger, 0, u"prod_fatorconv", ftInteger, 0, {ckNone}, {ckNone}, {ckNone}},
    {u"MARKUP_PCFRETE", ftFloat, 0, u"markup_pcfrete", ftFloat, 0, {ckNone}, {ckNone}, {ckNone}},
    {u"MARKUP_PCICMS", ftFloat, 0, u"markup_pcicms", ftFloat, 0, {ckNone}, {ckNone}, {ckNone}},
    {u"MARKUP_PCIPI", ftFloat, 0, u"markup_pcipi", ftFloat, 0, {ckNone}, {ckNone}, {ckNone}},
    {u"MARKUP_PCSIMPLES", ftFloat, 0, u"markup_pcsimples", ftFloat, 0, {ckNone}, {ckNone}, {ckNone}},
    {u"MARKUP_PCOUTRAS", ftFloat, 0, u"markup_pcoutras", ftFloat, 0, {ckNone}, {ckNone}, {ckNone}},
    {u"MARKUP_MGLUCRO", ftFloat, 0, u"markup_mglucro", ftFloat, 0, {ckNone}, {ckNone}, {ckNone}},
    {u"PROD_QTDE_AMBALAG", ftFloat, 0, u"prod_qtde_ambalag", ftFloat, 0, {ckNone}, {ckNone}, {ckNone}},
    {u"PROD_UNID_AMBALAG", ftString, 6, u"prod_unid_ambalag", ftString, 6, {ckNone}, {ckNone}, {ckNone}},
    {u"CODBEN_FISCAL", ftInteger, 0, u"prod_codben_fiscal", ftInteger, 0, {ckNone}, {ckNone}, {ckNone}},
    {nullptr, ftUnknown, 0, u"produtos_iniciado", ftInteger, 0, {ckNone}, {ckNone}, {ckNone}},
};

const std::size_t ProductColumnCount = sizeof ProductColumns / sizeof ProductColumns[0];

// The cloud insert-or-update statement is the insert part followed directly by the update part.
const std::u16string_view CloudInsertPart =
    u" insert into produtos (prod_codigo,prod_nome,prod_unidade,prod_custo,prod_margem,prod_precovenda,"
    u"prod_ultcomprador,prod_obs,prod_datacad,prod_dataultcompra,prod_dataultvenda,prod_tipo,"
    u"prod_referencia,prod_serie,prod_desc,prod_codfornecedor,prod_codbarra,prod_situacao,prod_data_venc,"
    u"prod_lucro,prod_foto,prod_tamanho,prod_tab_preco2,prod_tab_preco3,prod_tipo_produto,prod_marge_tab2,"
    u"prod_marge_tab3,prod_peso_liq,prod_peso_bruto,prod_estoque_iniciado,data_alteracao,"
    u"prod_lib_desconto,prod_idveiculo,prod_idtipo,prod_idmarca,prod_nomemarca,prod_idcat,prod_nomecat,"
    u"prod_idgrupo,prod_nomegrupo,prod_idsubg,prod_nomesubg,prod_idfab,prod_nomefab,prod_idfor,"
    u"prod_nomefor,prod_localizacao,prod_codintegracao,prod_origem,prod_exttipi,prod_ncm,prod_ibpt_uf,"
    u"prod_ibpt_nacional,prod_ibpt_importado,prod_ibpt_estadual,prod_ibpt_municipal,prod_ibpt_fonte,"
    u"prod_cest,prod_codcst,prod_codcsosn,prod_aliqicms,prod_codcstipi,prod_codcstpis,prod_codcstcofins,"
    u"prod_aliqipi,prod_aliqpis,prod_aliqcofins,prod_redicms,prod_aliqmva,prod_aliqiva,prod_sticms,"
    u"prod_icmsst,prod_red_baseicmsst,prod_cfop,prod_despesasfixa,prod_percomissao,prod_fci,"
    u"prod_codmodbicms,prod_codmodbcst,prod_dafilial,prod_pconsumo,prod_undtrib,medi_simnao,"
    u"medi_codanvisa,medi_vpmc,medi_msginsecao,rast_simnao,rast_pdescarel,rast_cnpjfabri,rast_codbenefi,"
    u"comb_simnao,comb_codanp,comb_descanp,comb_percglp,comb_percgnn,comb_percgni,comb_vlpartida,"
    u"prod_percfcp,prod_pfcpretido,prod_exigirlote,sinc,prod_usarprecodagrade,bal_simnao,bal_tpvenda,"
    u"bal_diasval,bal_lerauto,bal_enviado,preco_faixa_qtde,prod_usuario,prod_acimade1,"
    u"prod_acimade1_mergem,prod_acimade1_valor,prod_acimade2,prod_acimade2_mergem,prod_acimade2_valor,"
    u"prod_acimade3,prod_acimade3_mergem,prod_acimade3_valor,prod_acimade4,prod_acimade4_mergem,"
    u"prod_acimade4_valor,prod_empromocao,prod_margprom,prod_vlprom,prod_dtexpirar_prom,prod_obsnfe,"
    u"prod_cadpor,prod_pgcomissao,prod_fracionado,prod_auto_alter_preco_faixaqtde,prod_nao_per_desc,"
    u"prod_embal_codb,prod_embal_unid,prod_embal_qtde,prod_embal_unqt,"
    u"prod_ler_qtde_embal) values (:prod_codigo,:prod_nome,:prod_unidade,:prod_custo,:prod_margem,"
    u":prod_precovenda,:prod_ultcomprador,:prod_obs,:prod_datacad,:prod_dataultcompra,:prod_dataultvenda,"
    u":prod_tipo,:prod_referencia,:prod_serie,:prod_desc,:prod_codfornecedor,:prod_codbarra,"
    u":prod_situacao,:prod_data_venc,:prod_lucro,:prod_foto,:prod_tamanho,:prod_tab_preco2,"
    u":prod_tab_preco3,:prod_tipo_produto,:prod_marge_tab2,:prod_marge_tab3,:prod_peso_liq,"
    u":prod_peso_bruto,:prod_estoque_iniciado,:data_alteracao,:prod_lib_desconto,:prod_idveiculo,"
    u":prod_idtipo,:prod_idmarca,:prod_nomemarca,:prod_idcat,:prod_nomecat,:prod_idgrupo,:prod_nomegrupo,"
    u":prod_idsubg,:prod_nomesubg,:prod_idfab,:prod_nomefab,:prod_idfor,:prod_nomefor,:prod_localizacao,"
    u":prod_codintegracao,:prod_origem,:prod_exttipi,:prod_ncm,:prod_ibpt_uf,:prod_ibpt_nacional,"
    u":prod_ibpt_importado,:prod_ibpt_estadual,:prod_ibpt_municipal,:prod_ibpt_fonte,:prod_cest,"
    u":prod_codcst,:prod_codcsosn,:prod_aliqicms,:prod_codcstipi,:prod_codcstpis,:prod_codcstcofins,"
    u":prod_aliqipi,:prod_aliqpis,:prod_aliqcofins,:prod_redicms,:prod_aliqmva,:prod_aliqiva,:prod_sticms,"
    u":prod_icmsst,:prod_red_baseicmsst,:prod_cfop,:prod_despesasfixa,:prod_percomissao,:prod_fci,"
    u":prod_codmodbicms,:prod_codmodbcst,:prod_dafilial,:prod_pconsumo,:prod_undtrib,:medi_simnao,"
    u":medi_codanvisa,:medi_vpmc,:medi_msginsecao,:rast_simnao,:rast_pdescarel,:rast_cnpjfabri,"
    u":rast_codbenefi,:comb_simnao,:comb_codanp,:comb_descanp,:comb_percglp,:comb_percgnn,:comb_percgni,"
    u":comb_vlpartida,:prod_percfcp,:prod_pfcpretido,:prod_exigirlote,:sinc,:pgrade,:bal_simnao,"
    u":bal_tpvenda,:bal_diasval,:bal_lerauto,:bal_enviado,:preco_faixa_qtde,:prod_usuario,:prod_acimade1,"
    u":prod_acimade1_mergem,:prod_acimade1_valor,:prod_acimade2,:prod_acimade2_mergem,"
    u":prod_acimade2_valor,:prod_acimade3,:prod_acimade3_mergem,:prod_acimade3_valor,:prod_acimade4,"
    u":prod_acimade4_mergem,:prod_acimade4_valor,:prod_empromocao,:prod_margprom,:prod_vlprom,"
    u":prod_dtexpirar_prom,:prod_obsnfe,:prod_cadpor,:prod_pgcomissao,:prod_fracionado,"
    u":prod_auto_alter_preco_faixaqtde,:prod_nao_per_desc,:prod_embal_codb,:prod_embal_unid,"
    u":prod_embal_qtde,:prod_embal_unqt,:prod_ler_qtde_embal)";

const std::u16string_view CloudUpdatePart =
    u" ON DUPLICATE KEY UPDATE prod_nome=:prod_nome,prod_unidade=:prod_unidade,prod_custo=:prod_custo,"
    u"prod_margem=:prod_margem,prod_precovenda=:prod_precovenda,prod_ultcomprador=:prod_ultcomprador,"
    u"prod_obs=:prod_obs,prod_datacad=:prod_datacad,prod_dataultcompra=:prod_dataultcompra,"
    u"prod_dataultvenda=:prod_dataultvenda,prod_tipo=:prod_tipo,prod_referencia=:prod_referencia,"
    u"prod_serie=:prod_serie,prod_desc=:prod_desc,prod_codfornecedor=:prod_codfornecedor,"
    u"prod_codbarra=:prod_codbarra,prod_situacao=:prod_situacao,prod_data_venc=:prod_data_venc,"
    u"prod_lucro=:prod_lucro,prod_foto=:prod_foto,prod_tamanho=:prod_tamanho,"
    u"prod_tab_preco2=:prod_tab_preco2,prod_tab_preco3=:prod_tab_preco3,"
    u"prod_tipo_produto=:prod_tipo_produto,prod_marge_tab2=:prod_marge_tab2,"
    u"prod_marge_tab3=:prod_marge_tab3,prod_peso_liq=:prod_peso_liq,prod_peso_bruto=:prod_peso_bruto,"
    u"prod_estoque_iniciado=:prod_estoque_iniciado,data_alteracao=:data_alteracao,"
    u"prod_lib_desconto=:prod_lib_desconto,prod_idveiculo=:prod_idveiculo,prod_idtipo=:prod_idtipo,"
    u"prod_idmarca=:prod_idmarca,prod_nomemarca=:prod_nomemarca,prod_idcat=:prod_idcat,"
    u"prod_nomecat=:prod_nomecat,prod_idgrupo=:prod_idgrupo,prod_nomegrupo=:prod_nomegrupo,"
    u"prod_idsubg=:prod_idsubg,prod_nomesubg=:prod_nomesubg,prod_idfab=:prod_idfab,"
    u"prod_nomefab=:prod_nomefab,prod_idfor=:prod_idfor,prod_nomefor=:prod_nomefor,"
    u"prod_localizacao=:prod_localizacao,prod_codintegracao=:prod_codintegracao,prod_origem=:prod_origem,"
    u"prod_exttipi=:prod_exttipi,prod_ncm=:prod_ncm,prod_ibpt_uf=:prod_ibpt_uf,"
    u"prod_ibpt_nacional=:prod_ibpt_nacional,prod_ibpt_importado=:prod_ibpt_importado,"
    u"prod_ibpt_estadual=:prod_ibpt_estadual,prod_ibpt_municipal=:prod_ibpt_municipal,"
    u"prod_ibpt_fonte=:prod_ibpt_fonte,prod_cest=:prod_cest,prod_codcst=:prod_codcst,"
    u"prod_codcsosn=:prod_codcsosn,prod_aliqicms=:prod_aliqicms,prod_codcstipi=:prod_codcstipi,"
    u"prod_codcstpis=:prod_codcstpis,prod_codcstcofins=:prod_codcstcofins,prod_aliqipi=:prod_aliqipi,"
    u"prod_aliqpis=:prod_aliqpis,prod_aliqcofins=:prod_aliqcofins,prod_redicms=:prod_redicms,"
    u"prod_aliqmva=:prod_aliqmva,prod_aliqiva=:prod_aliqiva,prod_sticms=:prod_sticms,"
    u"prod_icmsst=:prod_icmsst,prod_red_baseicmsst=:prod_red_baseicmsst,prod_cfop=:prod_cfop,"
    u"prod_despesasfixa=:prod_despesasfixa,prod_percomissao=:prod_percomissao,prod_fci=:prod_fci,"
    u"prod_codmodbicms=:prod_codmodbicms,prod_codmodbcst=:prod_codmodbcst,prod_dafilial=:prod_dafilial,"
    u"prod_pconsumo=:prod_pconsumo,prod_undtrib=:prod_undtrib,medi_simnao=:medi_simnao,"
    u"medi_codanvisa=:medi_codanvisa,medi_vpmc=:medi_vpmc,medi_msginsecao=:medi_msginsecao,"
    u"rast_simnao=:rast_simnao,rast_pdescarel=:rast_pdescarel,rast_cnpjfabri=:rast_cnpjfabri,"
    u"rast_codbenefi=:rast_codbenefi,comb_simnao=:comb_simnao,comb_codanp=:comb_codanp,"
    u"comb_descanp=:comb_descanp,comb_percglp=:comb_percglp,comb_percgnn=:comb_percgnn,"
    u"comb_percgni=:comb_percgni,comb_vlpartida=:comb_vlpartida,prod_percfcp=:prod_percfcp,"
    u"prod_pfcpretido=:prod_pfcpretido,prod_exigirlote=:prod_exigirlote,sinc=:sinc,"
    u"prod_usarprecodagrade=:pgrade,bal_simnao=:bal_simnao,bal_tpvenda=:bal_tpvenda,"
    u"bal_diasval=:bal_diasval,bal_lerauto=:bal_lerauto,bal_enviado=:bal_enviado,"
    u"preco_faixa_qtde=:preco_faixa_qtde,prod_usuario=:prod_usuario,prod_acimade1=:prod_acimade1,"
    u"prod_acimade1_mergem=:prod_acimade1_mergem,prod_acimade1_valor=:prod_acimade1_valor,"
    u"prod_acimade2=:prod_acimade2,prod_acimade2_mergem=:prod_acimade2_mergem,"
    u"prod_acimade2_valor=:prod_acimade2_valor,prod_acimade3=:prod_acimade3,"
    u"prod_acimade3_mergem=:prod_acimade3_mergem,prod_acimade3_valor=:prod_acimade3_valor,"
    u"prod_acimade4=:prod_acimade4,prod_acimade4_mergem=:prod_acimade4_mergem,"
    u"prod_acimade4_valor=:prod_acimade4_valor,prod_empromocao=:prod_empromocao,"
    u"prod_margprom=:prod_margprom,prod_vlprom=:prod_vlprom,prod_dtexpirar_prom=:prod_dtexpirar_prom,"
    u"prod_obsnfe=:prod_obsnfe,prod_cadpor=:prod_cadpor,prod_pgcomissao=:prod_pgcomissao,"
    u"prod_fracionado=:prod_fracionado,prod_auto_alter_preco_faixaqtde=:prod_auto_alter_preco_faixaqtde,"
    u"prod_nao_per_desc=:prod_nao_per_desc,prod_embal_codb=:prod_embal_codb,"
    u"prod_embal_unid=:prod_embal_unid,prod_embal_qtde=:prod_embal_qtde,prod_embal_unqt=:prod_embal_unqt,"
    u"prod_ler_qtde_embal=:prod_ler_qtde_embal;";

const std::u16string_view LocalUpdateStatement =
    u" update estoque set EST_PRODUTO=:EST_PRODUTO,EST_UNIDADE=:EST_UNIDADE,PROD_CUSTO=:PROD_CUSTO,"
    u"PROD_MARGEM=:PROD_MARGEM,EST_PRECOVENDA=:EST_PRECOVENDA,EST_ULTCOMPRADOR=:EST_ULTCOMPRADOR,"
    u"EST_OBS=:EST_OBS,EST_DATACAD=:EST_DATACAD,EST_DATAULTCOMPRA=:EST_DATAULTCOMPRA,"
    u"EST_DATAULTVENDA=:EST_DATAULTVENDA,EST_TIPO=:EST_TIPO,REFERENCIA=:REFERENCIA,SERIE=:SERIE,"
    u"DESCONTO=:DESCONTO,CODFORNECEDOR=:CODFORNECEDOR,CODIGO_BARRA=:CODIGO_BARRA,"
    u"EST_SITUACAO=:EST_SITUACAO,QTDE_SAIDA=:QTDE_SAIDA,DATA_VENC=:DATA_VENC,EST_LUCRO=:EST_LUCRO,"
    u"EST_FOTO=:EST_FOTO,TAMANHO=:TAMANHO,TOTAL_VIRTUAL=:TOTAL_VIRTUAL,TAB_PRECO2=:TAB_PRECO2,"
    u"TAB_PRECO3=:TAB_PRECO3,TIPO_PRODUTO=:TIPO_PRODUTO,TIPO_SERVICO=:TIPO_SERVICO,"
    u"EST_PRECOTOTAL=:EST_PRECOTOTAL,PROD_MARGE_TAB2=:PROD_MARGE_TAB2,PROD_MARGE_TAB3=:PROD_MARGE_TAB3,"
    u"PESO_LIQ=:PESO_LIQ,PESO_BRUTO=:PESO_BRUTO,ESTOQUE_INICIADO=:ESTOQUE_INICIADO,"
    u"DATA_ALTERACAO=:DATA_ALTERACAO,LIBERAR_DESCONTO=:LIBERAR_DESCONTO,EST_IDVEICULO=:EST_IDVEICULO,"
    u"EST_IDTIPO=:EST_IDTIPO,PROD_IDMARCA=:PROD_IDMARCA,PROD_NOMEMARCA=:PROD_NOMEMARCA,"
    u"PROD_IDCAT=:PROD_IDCAT,PROD_NOMECAT=:PROD_NOMECAT,PROD_IDGRUPO=:PROD_IDGRUPO,"
    u"PROD_NOMEGRUPO=:PROD_NOMEGRUPO,PROD_IDSUBG=:PROD_IDSUBG,PROD_NOMESUBG=:PROD_NOMESUBG,"
    u"PROD_IDFAB=:PROD_IDFAB,PROD_NOMEFAB=:PROD_NOMEFAB,PROD_IDFOR=:PROD_IDFOR,PROD_NOMEFOR=:PROD_NOMEFOR,"
    u"PROD_LOCALIZACAO=:PROD_LOCALIZACAO,PROD_CODINTEGRACAO=:PROD_CODINTEGRACAO,PROD_ORIGEM=:PROD_ORIGEM,"
    u"PROD_EXTTIPI=:PROD_EXTTIPI,PROD_NCM=:PROD_NCM,PROD_CARGATRIB_UF=:PROD_CARGATRIB_UF,"
    u"PROD_CARGATRIB_NACIONAL=:PROD_CARGATRIB_NACIONAL,PROD_CARGATRIB_IMPORTADO=:PROD_CARGATRIB_IMPORTADO,"
    u"PROD_CARGATRIB_ESTADUAL=:PROD_CARGATRIB_ESTADUAL,PROD_CARGATRIB_MUNICIPAL=:PROD_CARGATRIB_MUNICIPAL,"
    u"PROD_CARGATRIB_FONTE=:PROD_CARGATRIB_FONTE,PROD_CEST=:PROD_CEST,PROD_CODCST=:PROD_CODCST,"
    u"PROD_CODCSOSN=:PROD_CODCSOSN,PROD_ALIQICMS=:PROD_ALIQICMS,PROD_CODCSTIPI=:PROD_CODCSTIPI,"
    u"PROD_CODCSTPIS=:PROD_CODCSTPIS,PROD_CODCSTCOFINS=:PROD_CODCSTCOFINS,PROD_ALIQIPI=:PROD_ALIQIPI,"
    u"PROD_ALIQPIS=:PROD_ALIQPIS,PROD_ALIQCOFINS=:PROD_ALIQCOFINS,PROD_REDICMS=:PROD_REDICMS,"
    u"PROD_ALIQMVA=:PROD_ALIQMVA,PROD_ALIQIVA=:PROD_ALIQIVA,PROD_STICMS=:PROD_STICMS,"
    u"PROD_ICMSST=:PROD_ICMSST,PROD_RED_BASEICMSST=:PROD_RED_BASEICMSST,PROD_CFOP=:PROD_CFOP,"
    u"PROD_DESPESASFIXA=:PROD_DESPESASFIXA,PROD_PERCOMISSAO=:PROD_PERCOMISSAO,PROD_FCI=:PROD_FCI,"
    u"PROD_CODMODBICMS=:PROD_CODMODBICMS,PROD_CODMODBCST=:PROD_CODMODBCST,PROD_DAFILIAL=:PROD_DAFILIAL,"
    u"PROD_PCONSUMO=:PROD_PCONSUMO,PROD_UNDTRIB=:PROD_UNDTRIB,Medi_simnao=:Medi_simnao,"
    u"Medi_CODANVISA=:Medi_CODANVISA,Medi_vPMC=:Medi_vPMC,MedI_msginsecao=:MedI_msginsecao,"
    u"Rast_Simnao=:Rast_Simnao,Rast_PdEscaRel=:Rast_PdEscaRel,Rast_cnpjFabri=:Rast_cnpjFabri,"
    u"Rast_codbenefi=:Rast_codbenefi,Comb_simnao=:Comb_simnao,Comb_CodANP=:Comb_CodANP,"
    u"Comb_descANP=:Comb_descANP,Comb_percGLP=:Comb_percGLP,Comb_percGNN=:Comb_percGNN,"
    u"Comb_PERCGNI=:Comb_PERCGNI,Comb_vlPartida=:Comb_vlPartida,PROD_PERCFCP=:PROD_PERCFCP,"
    u"PROD_PFCPRETIDO=:PROD_PFCPRETIDO, prod_exigirlote=:prod_exigirlote,SINC='N',"
    u"PROD_USARPRECODAGRADE=:PGRADE,bal_simnao=:bal_simnao,bal_tpvenda=:bal_tpvenda,"
    u"bal_DIASVAL=:bal_DIASVAL,PRECO_FAIXA_QTDE=:PRECO_FAIXA_QTDE,prod_usuario=:prod_usuario,"
    u"PROD_ACIMADE1=:PROD_ACIMADE1,PROD_ACIMADE1_MERGEM=:PROD_ACIMADE1_MERGEM,"
    u"PROD_ACIMADE1_VALOR=:PROD_ACIMADE1_VALOR,PROD_ACIMADE2=:PROD_ACIMADE2,"
    u"PROD_ACIMADE2_MERGEM=:PROD_ACIMADE2_MERGEM,PROD_ACIMADE2_VALOR=:PROD_ACIMADE2_VALOR,"
    u"PROD_ACIMADE3=:PROD_ACIMADE3,PROD_ACIMADE3_MERGEM=:PROD_ACIMADE3_MERGEM,"
    u"PROD_ACIMADE3_VALOR=:PROD_ACIMADE3_VALOR,PROD_ACIMADE4=:PROD_ACIMADE4,"
    u"PROD_ACIMADE4_MERGEM=:PROD_ACIMADE4_MERGEM,PROD_ACIMADE4_VALOR=:PROD_ACIMADE4_VALOR,"
    u"PROD_EMPROMOCAO=:PROD_EMPROMOCAO,PROD_MARGPROM=:PROD_MARGPROM,PROD_VLPROM=:PROD_VLPROM,"
    u"PROD_DTEXPIRAR_PROM=:PROD_DTEXPIRAR_PROM,PROD_OBSNFE=:PROD_OBSNFE,BAL_LERAUTO=:BAL_LERAUTO,"
    u"PROD_PGCOMISSAO=:PROD_PGCOMISSAO,PROD_FRACIONADO=:PROD_FRACIONADO,"
    u"PROD_AUTO_ALTER_PRECO_FAIXAQTDE=:PROD_AUTO_ALTER,PROD_NAO_PER_DESC=:PROD_NAO_PER_DESC,"
    u"PROD_EMBAL_CODB=:PROD_EMBAL_CODB,PROD_EMBAL_UNID=:PROD_EMBAL_UNID,PROD_EMBAL_QTDE=:PROD_EMBAL_QTDE,"
    u"PROD_EMBAL_UNQT=:PROD_EMBAL_UNQT,"
    u"PROD_LER_QTDE_EMBAL=:PROD_LER_QTDE_EMBAL  where EST_CODIGO =:EST_CODIGO";

const std::u16string_view LocalInsertStatement =
    u" insert into estoque (EST_CODIGO,EST_PRODUTO,EST_UNIDADE,PROD_CUSTO,PROD_MARGEM,EST_PRECOVENDA,"
    u"EST_ULTCOMPRADOR,EST_OBS,EST_DATACAD,EST_DATAULTCOMPRA,EST_DATAULTVENDA,EST_TIPO,REFERENCIA,SERIE,"
    u"DESCONTO,CODFORNECEDOR,CODIGO_BARRA,EST_SITUACAO,QTDE_SAIDA,DATA_VENC,EST_LUCRO,EST_FOTO,TAMANHO,"
    u"TOTAL_VIRTUAL,TAB_PRECO2,TAB_PRECO3,TIPO_PRODUTO,TIPO_SERVICO,EST_PRECOTOTAL,PROD_MARGE_TAB2,"
    u"PROD_MARGE_TAB3,PESO_LIQ,PESO_BRUTO,ESTOQUE_INICIADO,DATA_ALTERACAO,LIBERAR_DESCONTO,EST_IDVEICULO,"
    u"EST_IDTIPO,PROD_IDMARCA,PROD_NOMEMARCA,PROD_IDCAT,PROD_NOMECAT,PROD_IDGRUPO,PROD_NOMEGRUPO,"
    u"PROD_IDSUBG,PROD_NOMESUBG,PROD_IDFAB,PROD_NOMEFAB,PROD_IDFOR,PROD_NOMEFOR,PROD_LOCALIZACAO,"
    u"PROD_CODINTEGRACAO,PROD_ORIGEM,PROD_EXTTIPI,PROD_NCM,PROD_CARGATRIB_UF,PROD_CARGATRIB_NACIONAL,"
    u"PROD_CARGATRIB_IMPORTADO,PROD_CARGATRIB_ESTADUAL,PROD_CARGATRIB_MUNICIPAL,PROD_CARGATRIB_FONTE,"
    u"PROD_CEST,PROD_CODCST,PROD_CODCSOSN,PROD_ALIQICMS,PROD_CODCSTIPI,PROD_CODCSTPIS,PROD_CODCSTCOFINS,"
    u"PROD_ALIQIPI,PROD_ALIQPIS,PROD_ALIQCOFINS,PROD_REDICMS,PROD_ALIQMVA,PROD_ALIQIVA,PROD_STICMS,"
    u"PROD_ICMSST,PROD_RED_BASEICMSST,PROD_CFOP,PROD_DESPESASFIXA,PROD_PERCOMISSAO,PROD_FCI,"
    u"PROD_CODMODBICMS,PROD_CODMODBCST,PROD_DAFILIAL,PROD_PCONSUMO,PROD_UNDTRIB,Medi_simnao,"
    u"Medi_CODANVISA,Medi_vPMC,MedI_msginsecao,Rast_Simnao,Rast_PdEscaRel,Rast_cnpjFabri,Rast_codbenefi,"
    u"Comb_simnao,Comb_CodANP,Comb_descANP,Comb_percGLP,Comb_percGNN,Comb_PERCGNI,Comb_vlPartida,"
    u"PROD_PERCFCP,PROD_PFCPRETIDO,PROD_EXIGIRLOTE,SINC,PROD_USARPRECODAGRADE,bal_simnao,bal_tpvenda,"
    u"BAL_DIASVAL,BAL_LERAUTO,BAL_ENVIADO,PRECO_FAIXA_QTDE,PROD_USUARIO,PROD_ACIMADE1,"
    u"PROD_ACIMADE1_MERGEM,PROD_ACIMADE1_VALOR,PROD_ACIMADE2,PROD_ACIMADE2_MERGEM,PROD_ACIMADE2_VALOR,"
    u"PROD_ACIMADE3,PROD_ACIMADE3_MERGEM,PROD_ACIMADE3_VALOR,PROD_ACIMADE4,PROD_ACIMADE4_MERGEM,"
    u"PROD_ACIMADE4_VALOR,PROD_EMPROMOCAO,PROD_MARGPROM,PROD_VLPROM,PROD_DTEXPIRAR_PROM,PROD_OBSNFE,"
    u"PROD_CADPOR,PROD_PGCOMISSAO,PROD_FRACIONADO,PROD_AUTO_ALTER_PRECO_FAIXAQTDE,PROD_NAO_PER_DESC,"
    u"PROD_EMBAL_CODB,PROD_EMBAL_UNID,PROD_EMBAL_QTDE,PROD_EMBAL_UNQT,"
    u"PROD_LER_QTDE_EMBAL) values (:EST_CODIGO,:EST_PRODUTO,:EST_UNIDADE,:PROD_CUSTO,:PROD_MARGEM,"
    u":EST_PRECOVENDA,:EST_ULTCOMPRADOR,:EST_OBS,:EST_DATACAD,:EST_DATAULTCOMPRA,:EST_DATAULTVENDA,"
    u":EST_TIPO,:REFERENCIA,:SERIE,:DESCONTO,:CODFORNECEDOR,:CODIGO_BARRA,:EST_SITUACAO,:QTDE_SAIDA,"
    u":DATA_VENC,:EST_LUCRO,:EST_FOTO,:TAMANHO,:TOTAL_VIRTUAL,:TAB_PRECO2,:TAB_PRECO3,:TIPO_PRODUTO,"
    u":TIPO_SERVICO,:EST_PRECOTOTAL,:PROD_MARGE_TAB2,:PROD_MARGE_TAB3,:PESO_LIQ,:PESO_BRUTO,"
    u":ESTOQUE_INICIADO,:DATA_ALTERACAO,:LIBERAR_DESCONTO,:EST_IDVEICULO,:EST_IDTIPO,:PROD_IDMARCA,"
    u":PROD_NOMEMARCA,:PROD_IDCAT,:PROD_NOMECAT,:PROD_IDGRUPO,:PROD_NOMEGRUPO,:PROD_IDSUBG,:PROD_NOMESUBG,"
    u":PROD_IDFAB,:PROD_NOMEFAB,:PROD_IDFOR,:PROD_NOMEFOR,:PROD_LOCALIZACAO,:PROD_CODINTEGRACAO,"
    u":PROD_ORIGEM,:PROD_EXTTIPI,:PROD_NCM,:PROD_CARGATRIB_UF,:PROD_CARGATRIB_NACIONAL,"
    u":PROD_CARGATRIB_IMPORTADO,:PROD_CARGATRIB_ESTADUAL,:PROD_CARGATRIB_MUNICIPAL,:PROD_CARGATRIB_FONTE,"
    u":PROD_CEST,:PROD_CODCST,:PROD_CODCSOSN,:PROD_ALIQICMS,:PROD_CODCSTIPI,:PROD_CODCSTPIS,"
    u":PROD_CODCSTCOFINS,:PROD_ALIQIPI,:PROD_ALIQPIS,:PROD_ALIQCOFINS,:PROD_REDICMS,:PROD_ALIQMVA,"
    u":PROD_ALIQIVA,:PROD_STICMS,:PROD_ICMSST,:PROD_RED_BASEICMSST,:PROD_CFOP,:PROD_DESPESASFIXA,"
    u":PROD_PERCOMISSAO,:PROD_FCI,:PROD_CODMODBICMS,:PROD_CODMODBCST,:PROD_DAFILIAL,:PROD_PCONSUMO,"
    u":PROD_UNDTRIB,:Medi_simnao,:Medi_CODANVISA,:Medi_vPMC,:MedI_msginsecao,:Rast_Simnao,:Rast_PdEscaRel,"
    u":Rast_cnpjFabri,:Rast_codbenefi,:Comb_simnao,:Comb_CodANP,:Comb_descANP,:Comb_percGLP,:Comb_percGNN,"
    u":Comb_PERCGNI,:Comb_vlPartida,:PROD_PERCFCP,:PROD_PFCPRETIDO,:PROD_EXIGIRLOTE,:SINC,:PGRADE,"
    u":bal_simnao,:bal_tpvenda,:bal_DIASVAL,:BAL_LERAUTO,:BAL_ENVIADO,:PRECO_FAIXA_QTDE,:PROD_USUARIO,"
    u":PROD_ACIMADE1,:PROD_ACIMADE1_MERGEM,:PROD_ACIMADE1_VALOR,:PROD_ACIMADE2,:PROD_ACIMADE2_MERGEM,"
    u":PROD_ACIMADE2_VALOR,:PROD_ACIMADE3,:PROD_ACIMADE3_MERGEM,:PROD_ACIMADE3_VALOR,:PROD_ACIMADE4,"
    u":PROD_ACIMADE4_MERGEM,:PROD_ACIMADE4_VALOR,:PROD_EMPROMOCAO,:PROD_MARGPROM,:PROD_VLPROM,"
    u":PROD_DTEXPIRAR_PROM,:PROD_OBSNFE,:PROD_CADPOR,:PROD_PGCOMISSAO,:PROD_FRACIONADO,"
    u":PROD_AUTO_ALTER_PRECO_FAIXAQTDE,:PROD_NAO_PER_DESC,:PROD_EMBAL_CODB,:PROD_EMBAL_UNID,"
    u":PROD_EMBAL_QTDE,:PROD_EMBAL_UNQT,:PROD_LER_QTDE_EMBAL)";

} // namespace vantrelo
